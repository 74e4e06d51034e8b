// The bundle's description files, generated from the parameter table, the
// factory presets and what the effect itself reports, so they cannot drift
// from the module: manifest.ttl, the plug-in's description (with its user
// interface's) and presets.ttl.
#pragma once

#include <functional>
#include <string>

namespace kt::lv2 {

struct PluginFacts {
    std::string name;     // doap:name
    std::string maker;    // the maintainer's foaf:name
    std::string comment;  // rdfs:comment
    int minorVersion = 0;
    int microVersion = 0;
    int maxLatency = 0;  // samples, at the highest rate the module is run at
};

// The text the module displays for parameter index at normalised value v,
// with its label when it has one ("-12.00 dB").
using DisplayText = std::function<std::string(int index, float v)>;

std::string manifestTtl();
std::string pluginTtl(const PluginFacts& facts, const DisplayText& display);
std::string presetsTtl();

// A parameter's port symbol: its name in lower case, words joined by "_"
// ("L/R Link" is "l_r_link", "DetectorOrder" "detector_order").
std::string parameterSymbol(int index);

}  // namespace kt::lv2
