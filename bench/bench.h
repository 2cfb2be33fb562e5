#pragma once
// The benchmark program: bench.cpp times the document and its files, and hands
// over to the pixel algorithms' own measurements.

// Flood fill, strokes, shapes and transforms on whole images (bench_pixels.cpp).
void RunPixelBenchmarks();
