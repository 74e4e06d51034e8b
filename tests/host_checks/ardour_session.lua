-- Kav Tamor in a headless Ardour session (ardour7-lua), one step per run:
--   ardour7-lua ardour_session.lua create DIR NAME vst|lv2
--   ardour7-lua ardour_session.lua reload DIR NAME SNAPSHOT
-- Prints lines "KEY value..." that ardour_session.sh reads; an error ends the
-- run with a non-zero status.

local mode, dir, name, extra = arg[1], arg[2], arg[3], arg[4]
local kURI = "https://kavtamor.example/plugins/limiter"
local kRate = 48000
local kParameters = 22 -- Output .. PostMeter, the same indices in both formats

local function say(...) print(table.concat({...}, " ")) end

local function check(ok, what)
  if not ok then error("FAILED: " .. what, 0) end
  say("OK", what)
end

local function start_engine()
  local backend = AudioEngine:set_backend("None (Dummy)", "", "")
  check(not backend:isnil(), "the dummy audio backend is there")
  -- A sine wave at -18 dBFS on every input.
  backend:set_device_name("Sine Wave")
  backend:set_sample_rate(kRate)
  backend:set_buffer_size(512)
  check(AudioEngine:start(false) == 0, "the engine runs")
end

local function wait(seconds) ARDOUR.LuaAPI.usleep(math.floor(seconds * 1000000)) end

local function param(proc, i) return ARDOUR.LuaAPI.get_processor_param(proc, i) end

local function control(proc, i)
  return proc:to_insert():to_automatable():automation_control(
    Evoral.Parameter(ARDOUR.AutomationType.PluginAutomation, 0, i), false)
end

-- The track's highest output peak in dBFS over half a second, once the change
-- before has settled.
local function output_peak(track)
  wait(0.5)
  track:peak_meter():reset_max()
  wait(0.5)
  local peak = -200
  for c = 0, 1 do
    peak = math.max(peak, track:peak_meter():meter_level(c, ARDOUR.MeterType.MeterMaxPeak))
  end
  return peak
end

-- Audio goes through the plug-in: driven 24 dB into a 0 dBFS ceiling the sine
-- comes out just below the ceiling (a preset's leveller or requantizer may take
-- a little more); with the plug-in deactivated it stays at -18 dBFS.
local function check_audio(track, proc)
  track:monitoring_control():set_value(ARDOUR.MonitorChoice.MonitorInput,
                                       PBD.GroupControlDisposition.NoGroup)
  local drive, output = param(proc, 1), param(proc, 0)
  ARDOUR.LuaAPI.set_processor_param(proc, 0, 1.0)
  ARDOUR.LuaAPI.set_processor_param(proc, 1, 1.0)
  local limited = output_peak(track)
  proc:deactivate()
  local bypassed = output_peak(track)
  proc:activate()
  ARDOUR.LuaAPI.set_processor_param(proc, 0, output)
  ARDOUR.LuaAPI.set_processor_param(proc, 1, drive)
  wait(0.3) -- an LV2 plug-in takes port values in its next cycles
  say("PEAK limited", string.format("%.2f", limited), "deactivated", string.format("%.2f", bypassed))
  check(limited > -3.0 and limited <= 0.01, "the driven sine comes out just below 0 dBFS")
  check(math.abs(bypassed + 18) < 0.5, "deactivated, the sine passes at -18 dBFS")
end

local function print_parameters(proc)
  local values = {}
  for i = 0, kParameters - 1 do values[#values + 1] = string.format("%.6f", param(proc, i)) end
  say("PARAMS", table.concat(values, " "))
  local differ = 0
  for i = 0, kParameters - 1 do
    if math.abs(param(proc, i) - control(proc, i):get_value()) > 1e-6 then differ = differ + 1 end
  end
  check(differ == 0, "Ardour's controls show the plug-in's values")
end

local function find_listed(format)
  local wanted = format == "vst" and ARDOUR.PluginType.LXVST or ARDOUR.PluginType.LV2
  for p in ARDOUR.LuaAPI.list_plugins():iter() do
    if p.type == wanted and p.name == "Kav Tamor" then
      say("LISTED", format, p.unique_id, p.creator, p.category, p.path)
      return p
    end
  end
  return nil
end

local function create()
  local format = extra
  start_engine()
  local session = create_session(dir, name, kRate)
  check(session ~= nil, "a new session")
  check(find_listed(format) ~= nil, "Ardour lists Kav Tamor as " .. format)
  local track = session:new_audio_track(2, 2, nil, 1, "Mix", -1, ARDOUR.TrackMode.Normal, true):front()
  local id = format == "vst" and "Kav Tamor" or kURI
  local ptype = format == "vst" and ARDOUR.PluginType.LXVST or ARDOUR.PluginType.LV2
  local proc = ARDOUR.LuaAPI.new_plugin(session, id, ptype, "")
  check(not proc:isnil(), "the plug-in loads")
  check(track:add_processor_by_index(proc, 0, nil, true) == 0, "the plug-in sits on a stereo track")
  local plugin = proc:to_insert():plugin(0)
  say("PLUGIN", plugin:name(), plugin:unique_id(), "latency", proc:signal_latency())
  check(proc:signal_latency() == 159, "Ardour compensates 159 samples of latency at 48 kHz")
  check_audio(track, proc)

  if format == "lv2" then
    -- Edit the bank through the host: a factory preset onto the ports, then a knob.
    local chosen = nil
    for preset in plugin:get_info():get_presets(false):iter() do
      if preset.label == "CD Master 1" then chosen = preset end
    end
    check(chosen ~= nil and plugin:load_preset(chosen), "Ardour applies the LV2 preset CD Master 1")
    wait(0.3) -- the ports reach the plug-in in the next cycles
  end
  -- Knobs and switches as a user sets them.
  for _, setting in ipairs({{1, 0.7}, {2, 0.35}, {3, 0.6}, {5, 0.8}, {6, 0.75}, {13, 0.3}}) do
    ARDOUR.LuaAPI.set_processor_param(proc, setting[1], setting[2])
  end
  wait(0.3)
  check(math.abs(param(proc, 1) - 0.7) < 1e-6, "a value set through Ardour reaches the plug-in")
  print_parameters(proc)
  check(session:save_state("", false, false, false, false, false) == 0, "the session is saved")
end

local function reload()
  local snapshot = extra
  start_engine()
  local session = load_session(dir, name)
  check(session ~= nil, "the session opens again")
  local track = session:route_by_name("Mix")
  local proc = track:nth_plugin(0)
  check(not proc:isnil(), "the plug-in is back on its track")
  wait(0.3)
  print_parameters(proc)
  check_audio(track:to_track(), proc)
  check(session:save_state(snapshot, false, false, false, false, false) == 0,
        "the reopened session is saved as " .. snapshot)
end

if mode == "create" then
  create()
elseif mode == "reload" then
  reload()
else
  error("usage: ardour_session.lua create DIR NAME vst|lv2 | reload DIR NAME SNAPSHOT", 0)
end
say("DONE", mode)
