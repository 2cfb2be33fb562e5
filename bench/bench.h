#pragma once
// The benchmark program: bench.cpp times the document and its files, and hands
// over to the pixel algorithms' own measurements.

// The performance counter, in milliseconds.
double Milliseconds();

// The canvas of a 256 px image with alpha: one repaint against a bare
// StretchBlt, 1,000 pencil steps and the undo step they leave (bench_views.cpp).
void RunViewBenchmarks();
// Flood fill, strokes, shapes and transforms on whole images (bench_pixels.cpp).
void RunPixelBenchmarks();

// Every Windows icon size built from one 256 px image; with a folder, the built
// pictures are written there as raw RGBA (bench_sizes.cpp).
void RunSizeBenchmarks(const char* folder);
