#include "lv2/bundle_ttl.h"

#include <lv2/instance-access/instance-access.h>

#include <cctype>
#include <charconv>
#include <cstdio>
#include <string_view>

#include "engine/parameters.h"
#include "lv2/lv2_identity.h"
#include "lv2/port_layout.h"
#include "presets/factory_presets.h"

namespace kt::lv2 {
namespace {

constexpr std::string_view kPrefixes =
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n\n";

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string uri(std::string_view text) {
    // Appended, not "<" + std::string: that trips a false -Wrestrict in GCC 12 at -O3.
    std::string out = "<";
    out += text;
    out += '>';
    return out;
}

// The shortest decimal that reads back as exactly v, always with a point.
std::string decimal(float v) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
    std::string text(buffer, result.ptr);
    if (text.find('.') == std::string::npos) text += ".0";
    return text;
}

std::string presetUri(int n) {
    char number[16];
    std::snprintf(number, sizeof number, "%02d", n);
    return uri(std::string(kPresetUriPrefix) + number);
}

bool isStepped(int index) {
    return paramInfo(index).kind == ParamKind::Stepped;
}

std::string scalePoint(std::string_view label, float v) {
    return "[ rdfs:label " + quoted(label) + " ; rdf:value " + decimal(v) + " ]";
}

std::string joined(const std::string& separator, const auto& items) {
    std::string out;
    for (const auto& item : items) out += (out.empty() ? "" : separator) + item;
    return out;
}

std::string controlPort(int index, const DisplayText& display) {
    const ParamInfo& info = paramInfo(index);
    std::string port = "        a lv2:InputPort , lv2:ControlPort ;\n";
    port += "        lv2:index " + std::to_string(index) + " ;\n";
    port += "        lv2:symbol " + quoted(parameterSymbol(index)) + " ;\n";
    port += "        lv2:name " + quoted(info.name) + " ;\n";
    port += "        lv2:default " + decimal(portValue(index, kFactoryPresets[0].values[index])) +
            " ;\n";
    port += "        lv2:minimum 0.0 ;\n        lv2:maximum 1.0 ;\n";
    std::vector<std::string> points;
    if (isStepped(index)) {
        port += "        lv2:portProperty lv2:enumeration ;\n";
        for (int step = 0; step < info.steps; ++step) {
            const std::string_view text = info.stepTexts[step];
            points.push_back(
                scalePoint(text.empty() ? "none" : text, paramLongToCont(step, info.steps)));
        }
    } else {
        for (const float v : {0.0f, 0.5f, 1.0f}) points.push_back(scalePoint(display(index, v), v));
    }
    port += "        lv2:scalePoint " + joined(" ,\n            ", points) + "\n";
    return port;
}

std::string audioPort(PortIndex index, const char* direction, const char* symbol,
                      const char* name) {
    return std::string("        a lv2:") + direction + "Port , lv2:AudioPort ;\n" +
           "        lv2:index " + std::to_string(index) + " ;\n" + "        lv2:symbol " +
           quoted(symbol) + " ;\n" + "        lv2:name " + quoted(name) + "\n";
}

std::string latencyPort(int maxLatency) {
    std::string port = "        a lv2:OutputPort , lv2:ControlPort ;\n";
    port += "        lv2:index " + std::to_string(kLatencyPort) + " ;\n";
    port += "        lv2:symbol \"latency\" ;\n        lv2:name \"Latency\" ;\n";
    port += "        lv2:designation lv2:latency ;\n";
    port += "        lv2:portProperty lv2:reportsLatency , lv2:integer ;\n";
    port += "        lv2:minimum 0 ;\n        lv2:maximum " + std::to_string(maxLatency) + " ;\n";
    return port + "        units:unit units:frame\n";
}

// The editor: it needs the plug-in instance, a parent window and the host's
// idle calls; it announces its size and never changes it.
std::string uiDescription() {
    return uri(kUiUri) + "\n    a ui:X11UI ;\n" +
           "    lv2:requiredFeature ui:idleInterface , ui:parent , " +
           uri(LV2_INSTANCE_ACCESS_URI) + " ;\n" +
           "    lv2:optionalFeature ui:resize , ui:touch , ui:fixedSize ;\n" +
           "    lv2:extensionData ui:idleInterface .\n";
}

}  // namespace

std::string parameterSymbol(int index) {
    std::string symbol;
    char previous = 0;
    for (const char c : paramInfo(index).name) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u)) {
            const bool wordStart =
                std::isupper(u) && (std::islower(previous) || std::isdigit(previous));
            if (wordStart) symbol += '_';
            symbol += static_cast<char>(std::tolower(u));
        } else if (!symbol.empty() && symbol.back() != '_') {
            symbol += '_';
        }
        previous = static_cast<char>(u);
    }
    while (!symbol.empty() && symbol.back() == '_') symbol.pop_back();
    return symbol;
}

std::string manifestTtl() {
    std::string ttl(kPrefixes);
    ttl += uri(kPluginUri) + "\n    a lv2:Plugin ;\n    lv2:binary " + uri(kBinaryName) +
           " ;\n    rdfs:seeAlso " + uri(kPluginTtlName) + " .\n";
    ttl += "\n";
    ttl += uri(kUiUri) + "\n    a ui:X11UI ;\n    ui:binary " + uri(kBinaryName) +
           " ;\n    rdfs:seeAlso " + uri(kPluginTtlName) + " .\n";
    for (int n = 0; n < kNumPresets; ++n) {
        ttl += "\n";
        ttl += presetUri(n) + "\n    a pset:Preset ;\n    lv2:appliesTo " + uri(kPluginUri) +
               " ;\n    rdfs:label " + quoted(kFactoryPresets[n].name) + " ;\n    rdfs:seeAlso " +
               uri(kPresetsTtlName) + " .\n";
    }
    return ttl;
}

std::string pluginTtl(const PluginFacts& facts, const DisplayText& display) {
    std::string ttl(kPrefixes);
    ttl += uri(kPluginUri) + "\n    a lv2:Plugin , lv2:LimiterPlugin , doap:Project ;\n";
    ttl += "    doap:name " + quoted(facts.name) + " ;\n";
    ttl += "    rdfs:comment " + quoted(facts.comment) + " ;\n";
    ttl += "    doap:maintainer [ foaf:name " + quoted(facts.maker) + " ] ;\n";
    ttl += "    lv2:minorVersion " + std::to_string(facts.minorVersion) + " ;\n";
    ttl += "    lv2:microVersion " + std::to_string(facts.microVersion) + " ;\n";
    ttl += "    lv2:optionalFeature lv2:hardRTCapable , urid:map ;\n";
    ttl += "    lv2:extensionData state:interface ;\n";
    ttl += "    ui:ui " + uri(kUiUri) + " ;\n";
    std::vector<std::string> ports;
    for (int i = 0; i < kNumEngineParams; ++i) ports.push_back(controlPort(i, display));
    ports.push_back(audioPort(kInputLeft, "Input", "in_l", "In L"));
    ports.push_back(audioPort(kInputRight, "Input", "in_r", "In R"));
    ports.push_back(audioPort(kOutputLeft, "Output", "out_l", "Out L"));
    ports.push_back(audioPort(kOutputRight, "Output", "out_r", "Out R"));
    ports.push_back(latencyPort(facts.maxLatency));
    ttl += "    lv2:port [\n" + joined("    ] , [\n", ports) + "    ] .\n";
    return ttl + "\n" + uiDescription();
}

std::string presetsTtl() {
    std::string ttl(kPrefixes);
    for (int n = 0; n < kNumPresets; ++n) {
        const FactoryPreset& preset = kFactoryPresets[n];
        std::vector<std::string> values;
        for (int i = 0; i < kNumEngineParams; ++i)
            values.push_back("[ lv2:symbol " + quoted(parameterSymbol(i)) + " ; pset:value " +
                             decimal(portValue(i, preset.values[i])) + " ]");
        if (n) ttl += "\n";
        ttl += presetUri(n) + "\n    a pset:Preset ;\n    lv2:appliesTo " + uri(kPluginUri) +
               " ;\n    rdfs:label " + quoted(preset.name) + " ;\n    lv2:port " +
               joined(" ,\n        ", values) + " .\n";
    }
    return ttl;
}

}  // namespace kt::lv2
