#include "cli/loudness_plot.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "cli/atomic_output.h"
#include "cli/utf8_text.h"

namespace kt {
namespace {

// The frame of the picture, in pixels.
constexpr double kLeft = 80, kRight = kPlotWidth - 24;
constexpr double kLevelTop = 70, kLevelBottom = 420;
constexpr double kReductionTop = 440, kReductionBottom = 552;

struct Colour {
    double r, g, b;
};
constexpr Colour kInk{0.17, 0.18, 0.20};
constexpr Colour kGrid{0.86, 0.88, 0.90};
constexpr Colour kPanel{0.97, 0.975, 0.98};
constexpr Colour kInputLoudness{0.23, 0.49, 0.85};
constexpr Colour kInputPeak{0.62, 0.77, 0.94};
constexpr Colour kOutputLoudness{0.88, 0.33, 0.12};
constexpr Colour kOutputPeak{0.96, 0.66, 0.48};
constexpr Colour kTarget{0.35, 0.35, 0.38};
constexpr Colour kCeiling{0.75, 0.22, 0.17};
constexpr Colour kReduction{0.42, 0.29, 0.65};

void setColour(cairo_t* cr, Colour c, double alpha = 1.0) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void text(cairo_t* cr, double x, double y, const std::string& words, double size, bool bold,
          double alignX = 0.0) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    const std::string shown = validUtf8(words, "?");
    cairo_text_extents_t extents;
    cairo_text_extents(cr, shown.c_str(), &extents);
    cairo_move_to(cr, x - alignX * extents.x_advance, y);
    cairo_show_text(cr, shown.c_str());
    cairo_new_path(cr);  // the text leaves a current point behind
}

// The values of intervals of `interval` seconds (the last may be shorter)
// gathered into pixel columns over `seconds`: the highest (or lowest)
// finite value touching each column; NaN where there is none.
std::vector<double> toColumns(const std::vector<double>& values, double interval, double seconds,
                              int width, bool highest) {
    std::vector<double> columns(static_cast<std::size_t>(width), NAN);
    if (values.empty() || interval <= 0.0 || seconds <= 0.0) return columns;
    const long long last = static_cast<long long>(values.size()) - 1;
    for (int c = 0; c < width; ++c) {
        const double from = c * seconds / width, to = (c + 1) * seconds / width;
        long long first = static_cast<long long>(std::floor(from / interval));
        long long end = static_cast<long long>(std::ceil(to / interval)) - 1;
        first = std::clamp(first, 0LL, last);
        end = std::clamp(std::max(end, first), 0LL, last);
        double gathered = NAN;
        for (long long i = first; i <= end; ++i) {
            const double v = values[static_cast<std::size_t>(i)];
            if (!std::isfinite(v)) continue;
            gathered = std::isnan(gathered) ? v
                       : highest            ? std::max(gathered, v)
                                            : std::min(gathered, v);
        }
        columns[static_cast<std::size_t>(c)] = gathered;
    }
    return columns;
}

std::vector<double> decibels(const std::vector<double>& linear) {
    std::vector<double> db(linear.size());
    for (std::size_t i = 0; i < linear.size(); ++i)
        db[i] = linear[i] > 0.0 ? 20.0 * std::log10(linear[i]) : -INFINITY;
    return db;
}

// A scale from a value range to a pixel range.
struct Scale {
    double high, low;  // values at the top and the bottom
    double top, bottom;
    // Values beyond the range land a little outside it, where the panel's
    // clip cuts them off.
    double y(double v) const {
        const double clamped = std::clamp(v, low - 0.05 * (high - low), high);
        return top + (high - clamped) / (high - low) * (bottom - top);
    }
};

void drawColumns(cairo_t* cr, const std::vector<double>& columns, const Scale& scale, Colour colour,
                 double width) {
    bool drawing = false;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (std::isnan(columns[c])) {
            drawing = false;
            continue;
        }
        const double x = kLeft + static_cast<double>(c) + 0.5;
        const double y = scale.y(columns[c]);
        if (drawing) {
            cairo_line_to(cr, x, y);
        } else {
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + 0.01, y);  // a lone column still shows
            drawing = true;
        }
    }
    setColour(cr, colour);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

double niceStep(double range, const std::vector<double>& steps, double most) {
    for (double step : steps)
        if (range / step <= most) return step;
    return steps.back();
}

std::string timeLabel(double t, double step, double seconds) {
    char label[32];
    if (seconds >= 60.0) {
        const long whole = std::lround(t);
        if (whole >= 3600) {
            std::snprintf(label, sizeof label, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60,
                          whole % 60);
        } else {
            std::snprintf(label, sizeof label, "%ld:%02ld", whole / 60, whole % 60);
        }
    } else if (seconds < 1.0) {
        std::snprintf(label, sizeof label, "%g ms", std::round(t * 1e4) / 10.0);
    } else {
        const int decimals = step >= 1.0 ? 0 : step >= 0.1 ? 1 : 2;
        std::snprintf(label, sizeof label, "%.*f s", decimals, t);
    }
    return label;
}

void drawTimeAxis(cairo_t* cr, double seconds) {
    const double step =
        niceStep(seconds, {0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5,  1,    2,   5,
                           10,    15,    30,    60,   120,  300,  600, 900, 1800, 3600, 7200},
                 12.0);
    for (int k = 0;; ++k) {
        const double t = k * step;
        if (t > seconds * (1.0 + 1e-9)) break;
        const double x = std::round(kLeft + t / seconds * (kRight - kLeft)) + 0.5;
        setColour(cr, kGrid);
        cairo_set_line_width(cr, 1.0);
        for (auto [top, bottom] :
             {std::pair{kLevelTop, kLevelBottom}, std::pair{kReductionTop, kReductionBottom}}) {
            cairo_move_to(cr, x, top);
            cairo_line_to(cr, x, bottom);
        }
        cairo_stroke(cr);
        setColour(cr, kInk);
        text(cr, x, kReductionBottom + 18, timeLabel(t, step, seconds), 12, false, 0.5);
    }
    setColour(cr, kInk);
    text(cr, kRight, kReductionBottom + 38, "time", 12, false, 1.0);
}

// A grid line across the plot at v, labelled left of the plot.
void drawAxisRow(cairo_t* cr, const Scale& scale, double v, const char* label) {
    const double y = std::round(scale.y(v)) + 0.5;
    setColour(cr, kGrid);
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, kLeft, y);
    cairo_line_to(cr, kRight, y);
    cairo_stroke(cr);
    setColour(cr, kInk);
    text(cr, kLeft - 8, y + 4, label, 12, false, 1.0);
}

// The axis name, turned to read upwards, left of the scale's labels.
void drawAxisName(cairo_t* cr, const Scale& scale, const char* name) {
    cairo_save(cr);
    cairo_translate(cr, 20, 0.5 * (scale.top + scale.bottom));
    cairo_rotate(cr, -M_PI / 2);
    setColour(cr, kInk);
    text(cr, 0, 0, name, 12, false, 0.5);
    cairo_restore(cr);
}

void drawLevelAxis(cairo_t* cr, const Scale& scale, const char* unit) {
    const double step = niceStep(scale.high - scale.low, {1, 2, 3, 6, 10, 12, 20, 30}, 10.0);
    for (double v = std::ceil(scale.low / step) * step; v <= scale.high + 1e-9; v += step) {
        char label[24];
        std::snprintf(label, sizeof label, "%+g", std::fabs(v) < 1e-9 ? 0.0 : v);
        drawAxisRow(cr, scale, v, std::fabs(v) < 1e-9 ? "0" : label);
    }
    drawAxisName(cr, scale, unit);
}

void drawPanel(cairo_t* cr, double top, double bottom) {
    setColour(cr, kPanel);
    cairo_rectangle(cr, kLeft, top, kRight - kLeft, bottom - top);
    cairo_fill(cr);
}

void drawFrame(cairo_t* cr, double top, double bottom) {
    setColour(cr, kInk, 0.6);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, kLeft + 0.5, top + 0.5, kRight - kLeft - 1, bottom - top - 1);
    cairo_stroke(cr);
}

void drawLevelLine(cairo_t* cr, const Scale& scale, double value, Colour colour,
                   const std::string& label) {
    const double y = std::round(scale.y(value)) + 0.5;
    const double dashes[] = {8.0, 5.0};
    cairo_set_dash(cr, dashes, 2, 0.0);
    setColour(cr, colour);
    cairo_set_line_width(cr, 1.5);
    cairo_move_to(cr, kLeft, y);
    cairo_line_to(cr, kRight, y);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0.0);
    text(cr, kLeft + 8, y - 5, label, 11, false);
}

struct LegendEntry {
    Colour colour;
    double width;
    bool dashed;
    std::string label;
};

void drawLegend(cairo_t* cr, const std::vector<LegendEntry>& entries) {
    const double width = 250, rowHeight = 19;
    // Bottom right, below the loudness curves, where the picture is mostly empty.
    const double height = rowHeight * entries.size() + 10;
    const double x = kRight - width - 10, y = kLevelBottom - height - 10;
    cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
    cairo_rectangle(cr, x, y, width, height);
    cairo_fill_preserve(cr);
    setColour(cr, kInk, 0.4);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const double rowY = y + 5 + rowHeight * (i + 0.5);
        const double dashes[] = {6.0, 4.0};
        cairo_set_dash(cr, dashes, entries[i].dashed ? 2 : 0, 0.0);
        setColour(cr, entries[i].colour);
        cairo_set_line_width(cr, entries[i].width + 1.0);
        cairo_move_to(cr, x + 10, rowY);
        cairo_line_to(cr, x + 40, rowY);
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0.0);
        setColour(cr, kInk);
        text(cr, x + 50, rowY + 4, entries[i].label, 12, false);
    }
}

// The level range: up to the highest true peak, down to below the quieter
// passages of both loudness curves and the target.
Scale levelScale(const PlotData& data, const std::vector<double>& inputPeaks,
                 const std::vector<double>& outputPeaks) {
    double highest = 0.0;
    for (const auto* peaks : {&inputPeaks, &outputPeaks})
        for (double v : *peaks)
            if (std::isfinite(v)) highest = std::max(highest, v);
    std::vector<double> loudness;
    for (const auto* curve : {&data.input.shortTermLoudness, &data.output.shortTermLoudness})
        for (double v : *curve)
            if (std::isfinite(v) && v > -90.0) loudness.push_back(v);
    double lowest = -40.0;
    if (!loudness.empty()) {
        std::sort(loudness.begin(), loudness.end());
        lowest = loudness[loudness.size() / 20] - 6.0;
    }
    if (data.targetLoudness) lowest = std::min(lowest, *data.targetLoudness - 12.0);
    const double high = std::ceil(highest) + 1.0;
    double low = std::floor(lowest / 6.0) * 6.0;
    low = std::clamp(low, -96.0, high - 18.0);
    return Scale{high, low, kLevelTop, kLevelBottom};
}

Scale reductionScale(const std::vector<double>& reduction) {
    double deepest = 0.0;
    for (double v : reduction)
        if (std::isfinite(v)) deepest = std::min(deepest, v);
    double low = -48.0;
    for (double range : {1.0, 2.0, 3.0, 6.0, 12.0, 24.0, 48.0}) {
        if (-deepest <= range) {
            low = -range;
            break;
        }
    }
    return Scale{0.0, low, kReductionTop, kReductionBottom};
}

void drawReduction(cairo_t* cr, const std::vector<double>& columns, const Scale& scale) {
    const double zero = scale.y(0.0);
    cairo_move_to(cr, kLeft, zero);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const double v = std::isnan(columns[c]) ? 0.0 : columns[c];
        cairo_line_to(cr, kLeft + static_cast<double>(c) + 0.5, scale.y(v));
    }
    cairo_line_to(cr, kRight, zero);
    cairo_close_path(cr);
    setColour(cr, kReduction, 0.35);
    cairo_fill_preserve(cr);
    setColour(cr, kReduction);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
}

void drawReductionAxis(cairo_t* cr, const Scale& scale) {
    for (double v : {0.0, 0.5 * scale.low, scale.low}) {
        char label[24];
        std::snprintf(label, sizeof label, "%g", v == 0.0 ? 0.0 : v);
        drawAxisRow(cr, scale, v, label);
    }
    drawAxisName(cr, scale, "GR (dB)");
    text(cr, kLeft + 8, kReductionTop + 16, "gain reduction", 12, true);
}

void draw(cairo_t* cr, const PlotData& data) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    const int width = static_cast<int>(kRight - kLeft);
    const double seconds = std::max(data.seconds, 1e-6);

    setColour(cr, kInk);
    text(cr, kLeft, 28, data.title, 17, true);
    text(cr, kLeft, 52, data.subtitle, 13, false);

    const std::vector<double> inputPeaks = decibels(data.input.truePeak);
    const std::vector<double> outputPeaks = decibels(data.output.truePeak);
    const Scale level = levelScale(data, inputPeaks, outputPeaks);
    const Scale reduction = reductionScale(data.gainReductionDb);

    drawPanel(cr, kLevelTop, kLevelBottom);
    drawPanel(cr, kReductionTop, kReductionBottom);
    drawLevelAxis(cr, level, "dBTP, LUFS");
    drawReductionAxis(cr, reduction);
    drawTimeAxis(cr, seconds);

    cairo_save(cr);
    cairo_rectangle(cr, kLeft, kLevelTop, kRight - kLeft, kLevelBottom - kLevelTop);
    cairo_clip(cr);
    auto curve = [&](const LevelTimeline& timeline, const std::vector<double>& values) {
        return toColumns(values, timeline.intervalSeconds, seconds, width, true);
    };
    drawColumns(cr, curve(data.input, inputPeaks), level, kInputPeak, 1.2);
    drawColumns(cr, curve(data.output, outputPeaks), level, kOutputPeak, 1.2);
    drawColumns(cr, curve(data.input, data.input.shortTermLoudness), level, kInputLoudness, 2.2);
    drawColumns(cr, curve(data.output, data.output.shortTermLoudness), level, kOutputLoudness, 2.2);
    char label[64];
    if (data.targetLoudness) {
        std::snprintf(label, sizeof label, "target %.1f LUFS", *data.targetLoudness);
        drawLevelLine(cr, level, *data.targetLoudness, kTarget, label);
    }
    if (data.ceiling) {
        std::snprintf(label, sizeof label, "ceiling %+.1f dBTP", *data.ceiling);
        drawLevelLine(cr, level, *data.ceiling, kCeiling, label);
    }
    cairo_restore(cr);

    cairo_save(cr);
    cairo_rectangle(cr, kLeft, kReductionTop, kRight - kLeft, kReductionBottom - kReductionTop);
    cairo_clip(cr);
    drawReduction(cr, toColumns(data.gainReductionDb, data.windowSeconds, seconds, width, false),
                  reduction);
    cairo_restore(cr);

    drawFrame(cr, kLevelTop, kLevelBottom);
    drawFrame(cr, kReductionTop, kReductionBottom);

    std::vector<LegendEntry> legend = {
        {kInputLoudness, 2.2, false, "input short-term loudness"},
        {kInputPeak, 1.2, false, "input true peak"},
        {kOutputLoudness, 2.2, false, "output short-term loudness"},
        {kOutputPeak, 1.2, false, "output true peak"},
    };
    if (data.targetLoudness) legend.push_back({kTarget, 1.5, true, "loudness target"});
    if (data.ceiling) legend.push_back({kCeiling, 1.5, true, "true-peak ceiling"});
    drawLegend(cr, legend);
}

cairo_status_t writeToOutput(void* closure, const unsigned char* data, unsigned int length) {
    return static_cast<AtomicOutput*>(closure)->write(data, length) ? CAIRO_STATUS_SUCCESS
                                                                    : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

bool writeLoudnessPlot(const std::string& path, const PlotData& data, std::string* error) {
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPlotWidth, kPlotHeight),
        &cairo_surface_destroy);
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()),
                                                          &cairo_destroy);
    draw(cr.get(), data);
    cairo_surface_flush(surface.get());
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
        *error = std::string("cannot draw ") + path + ": " +
                 cairo_status_to_string(cairo_status(cr.get()));
        return false;
    }
    AtomicOutput output;
    if (!output.open(path, error)) return false;
    if (cairo_surface_write_to_png_stream(surface.get(), writeToOutput, &output) !=
        CAIRO_STATUS_SUCCESS) {
        *error = "cannot write " + path + " (is the disk full?)";
        return false;
    }
    return output.commit(error);
}

}  // namespace kt
