// What `kavtamor render` reports when the files are done: the table of a
// batch, the JSON document of --json, and the picture of --plot.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/loudness_plot.h"
#include "cli/render_job.h"

namespace kt {

struct RenderReport {
    const JobSettings& settings;
    const std::vector<FileJob>& files;
    const std::vector<FileOutcome>& outcomes;
    const AlbumOutcome* album;  // null unless --album
};

// One row per file: result, settings, loudness and peaks, renders, speed.
void printSummaryTable(std::FILE* out, const RenderReport& report);

// The JSON document: the targets, the album, and per file its settings,
// levels, renders and speed.
std::string jsonReport(const RenderReport& report);

// The plot of a written file.
PlotData plotDataFor(const JobSettings& settings, const FileJob& file, const FileOutcome& outcome);

}  // namespace kt
