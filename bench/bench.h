// The benchmark program's measuring helpers. Each subsystem adds a Run...Benchmarks function in its own
// bench/bench_<subsystem>_win.cpp and bench_win.cpp calls it.
#pragma once
#include <functional>

// Runs prepare (untimed), body (timed) and cleanup (untimed) `runs` times and prints
// "<name> <median milliseconds>" on one line.
void Measure(const char* name, int runs, const std::function<void()>& prepare, const std::function<void()>& body,
             const std::function<void()>& cleanup);
// Shorthand without prepare and cleanup.
void Measure(const char* name, int runs, const std::function<void()>& body);

// The benchmark picture size.
constexpr int kBenchWidth = 4000;
constexpr int kBenchHeight = 3000;

// Benchmarks of the document (bitmap operations, picture transforms, undo).
void RunDocumentBenchmarks(int runs);
// Benchmarks of the localisation (loading the language archive, text lookups).
void RunLocalisationBenchmarks(int runs);
// Benchmarks of the raster image core (colour reduction, adjustments, filters, PNG writer).
void RunImageFileBenchmarks(int runs);
// Benchmarks of the painting primitives (flood fill, colour replacement, the Extras pictures).
void RunPaintingBenchmarks(int runs);
// Benchmarks of the canvas (full repaints at three zooms, a pen stroke through the mouse messages, the
// moves of a pen and a brush stroke at 12.5 % with the paints they cause).
void RunViewBenchmarks(int runs);
// Benchmarks of the file layer (opening and saving BMP, PNG and JPEG) and of every picture effect.
void RunFileBenchmarks(int runs);
// Benchmarks of the Extras (the three generated pictures at 1920 x 1080).
void RunExtrasBenchmarks(int runs);
