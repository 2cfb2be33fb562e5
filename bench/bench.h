#pragma once
// The benchmark program: bench.cpp times the document and its files, and hands
// over to the pixel algorithms' own measurements.

// Flood fill, strokes, shapes and transforms on whole images (bench_pixels.cpp).
void RunPixelBenchmarks();

// Every Windows icon size built from one 256 px image; with a folder, the built
// pictures are written there as raw RGBA (bench_sizes.cpp).
void RunSizeBenchmarks(const char* folder);
