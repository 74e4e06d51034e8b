// The bundle describes the module's parameters, latency and factory presets.
#include <gtest/gtest.h>
#include <lv2/core/lv2.h>

#include <set>
#include <string>
#include <vector>

#include "cli/preset_select.h"
#include "engine/parameters.h"
#include "lv2/lv2_identity.h"
#include "tests/lv2/lv2_test_host.h"
#include "tests/support/module_fixture.h"

namespace kt::test {
namespace {

class Lv2BundleTest : public ModuleTest {
  protected:
    bool stepped(int index) const { return paramInfo(index).kind == ParamKind::Stepped; }
    int step(int index, float v) const { return paramContToLong(v, paramInfo(index).steps); }

    // What the module shows for a value: its display, its label after it.
    std::string shown(int index, float v) {
        plugin->setParameter(index, v);
        const std::string text = plugin->parameterDisplay(index);
        const std::string label = plugin->parameterLabel(index);
        if (text.empty()) return "none";
        return label.empty() ? text : text + " " + label;
    }

    Lv2Bundle bundle;
};

TEST_F(Lv2BundleTest, PortsAreTheModulesParameters) {
    const LilvPlugin* p = bundle.plugin();
    ASSERT_TRUE(p);
    LilvNode* name = lilv_plugin_get_name(p);
    EXPECT_STREQ(lilv_node_as_string(name), plugin->identity().name.c_str());
    lilv_node_free(name);
    ASSERT_EQ(lilv_plugin_get_num_ports(p), static_cast<uint32_t>(lv2::kNumPorts));
    EXPECT_EQ(lilv_plugin_get_num_ports_of_class(p, bundle.uri(LV2_CORE__AudioPort),
                                                 bundle.uri(LV2_CORE__InputPort), nullptr),
              2u);
    EXPECT_EQ(lilv_plugin_get_num_ports_of_class(p, bundle.uri(LV2_CORE__AudioPort),
                                                 bundle.uri(LV2_CORE__OutputPort), nullptr),
              2u);
    ASSERT_TRUE(lilv_plugin_has_latency(p));
    EXPECT_EQ(lilv_plugin_get_latency_port_index(p), static_cast<uint32_t>(lv2::kLatencyPort));

    std::vector<float> min(lv2::kNumPorts), max(lv2::kNumPorts), defaults(lv2::kNumPorts);
    lilv_plugin_get_port_ranges_float(p, min.data(), max.data(), defaults.data());
    std::set<std::string> symbols;
    for (int i = 0; i < kNumEngineParams; ++i) {
        SCOPED_TRACE(paramInfo(i).name);
        const LilvPort* port = lilv_plugin_get_port_by_index(p, static_cast<uint32_t>(i));
        symbols.insert(lilv_node_as_string(lilv_port_get_symbol(p, port)));
        LilvNode* portName = lilv_port_get_name(p, port);
        EXPECT_EQ(lilv_node_as_string(portName), plugin->parameterName(i));
        lilv_node_free(portName);
        EXPECT_EQ(min[i], 0.0f);
        EXPECT_EQ(max[i], 1.0f);
        // The default is the new instance's value (a stepped one on its step).
        const float start = plugin->getParameter(i);
        if (stepped(i)) {
            EXPECT_EQ(step(i, defaults[i]), step(i, start));
        } else {
            EXPECT_EQ(defaults[i], start);
        }
        EXPECT_EQ(lilv_port_has_property(p, port, bundle.uri(LV2_CORE__enumeration)), stepped(i));

        // Scale points labelled as the module displays them, one per step.
        LilvScalePoints* points = lilv_port_get_scale_points(p, port);
        std::set<int> steps;
        LILV_FOREACH(scale_points, k, points) {
            const LilvScalePoint* point = lilv_scale_points_get(points, k);
            const float v = lilv_node_as_float(lilv_scale_point_get_value(point));
            EXPECT_EQ(lilv_node_as_string(lilv_scale_point_get_label(point)), shown(i, v));
            if (stepped(i)) {
                steps.insert(step(i, v));
                EXPECT_EQ(v, paramLongToCont(step(i, v), paramInfo(i).steps));
            }
        }
        if (stepped(i)) {
            EXPECT_EQ(static_cast<int>(steps.size()), paramInfo(i).steps);
        }
        lilv_scale_points_free(points);
    }
    EXPECT_EQ(symbols.size(), static_cast<std::size_t>(kNumEngineParams));
}

TEST_F(Lv2BundleTest, PresetsAreTheFactoryPresets) {
    const std::vector<Lv2Bundle::Preset> presets = bundle.presets();
    const std::vector<std::string> names = presetNames(*plugin);
    ASSERT_EQ(presets.size(), names.size());
    for (std::size_t n = 0; n < presets.size(); ++n) {
        SCOPED_TRACE(names[n]);
        EXPECT_EQ(presets[n].label, names[n]);
        std::string error;
        ASSERT_TRUE(selectPreset(*plugin, static_cast<int>(n), &error)) << error;
        for (int i = 0; i < kNumEngineParams; ++i) {
            const float v = plugin->getParameter(i);
            if (stepped(i)) {
                EXPECT_EQ(step(i, presets[n].values[i]), step(i, v)) << paramInfo(i).name;
            } else {
                EXPECT_EQ(presets[n].values[i], v) << paramInfo(i).name;
            }
        }
    }
}

}  // namespace
}  // namespace kt::test
