#include "calc/Settings.h"

#include <vector>

namespace {

constexpr char kMain[] = "Main";
constexpr char kPosition[] = "Position";
constexpr char kGraph[] = "Graph";

// Values as IniFile writes them.
std::string Int(int v) {
  return std::to_string(v);
}
std::string Bool(bool v) {
  return v ? "1" : "0";
}

}  // namespace

void Load(const IniFile& ini, TMainSettings& s) {
  const TMainSettings d;
  s.Skin = ini.ReadString(kMain, "Skin", d.Skin);
  s.Format = ini.ReadInteger(kMain, "Format", d.Format);
  s.AlwaysOnTop = ini.ReadBool(kMain, "AlwayOnTop", d.AlwaysOnTop);
  s.Left = ini.ReadInteger(kPosition, "Left", d.Left);
  s.Top = ini.ReadInteger(kPosition, "Top", d.Top);
}

void Save(IniFile& ini, const TMainSettings& s, bool withPosition) {
  std::vector<TIniValue> keys = {{kMain, "Skin", s.Skin},
                                 {kMain, "Format", Int(s.Format)},
                                 {kMain, "AlwayOnTop", Bool(s.AlwaysOnTop)}};
  if (withPosition) {
    keys.push_back({kPosition, "Left", Int(s.Left)});
    keys.push_back({kPosition, "Top", Int(s.Top)});
  }
  ini.WriteValues(keys);
}

void Load(const IniFile& ini, TVarsSettings& s) {
  const TVarsSettings d;
  s.Left = ini.ReadInteger(kPosition, "VarsLeft", d.Left);
  s.Top = ini.ReadInteger(kPosition, "VarsTop", d.Top);
  s.Width = ini.ReadInteger(kPosition, "VarsWidth", d.Width);
  s.Height = ini.ReadInteger(kPosition, "VarsHeight", d.Height);
}

void Save(IniFile& ini, const TVarsSettings& s, bool withPosition) {
  std::vector<TIniValue> keys;
  if (withPosition) keys = {{kPosition, "VarsLeft", Int(s.Left)}, {kPosition, "VarsTop", Int(s.Top)}};
  keys.push_back({kPosition, "VarsWidth", Int(s.Width)});
  keys.push_back({kPosition, "VarsHeight", Int(s.Height)});
  ini.WriteValues(keys);
}

void Load(const IniFile& ini, TGraphSettings& s) {
  const TGraphSettings d;
  s.Left = ini.ReadInteger(kPosition, "GraphLeft", d.Left);
  s.Top = ini.ReadInteger(kPosition, "GraphTop", d.Top);
  s.Width = ini.ReadInteger(kPosition, "GraphWidth", d.Width);
  s.Height = ini.ReadInteger(kPosition, "GraphHeight", d.Height);
  s.AutoX = ini.ReadBool(kGraph, "AutoX", d.AutoX);
  s.AutoY = ini.ReadBool(kGraph, "AutoY", d.AutoY);
  s.JoinPoints = ini.ReadBool(kGraph, "JoinPoints", d.JoinPoints);
  s.DrawAxes = ini.ReadBool(kGraph, "DrawAxes", d.DrawAxes);
  s.GridLabels = ini.ReadBool(kGraph, "GridLabels", d.GridLabels);
}

void Save(IniFile& ini, const TGraphSettings& s, bool withPosition) {
  std::vector<TIniValue> keys;
  if (withPosition)
    keys = {{kPosition, "GraphLeft", Int(s.Left)}, {kPosition, "GraphTop", Int(s.Top)}};
  keys.insert(keys.end(), {{kPosition, "GraphWidth", Int(s.Width)},
                           {kPosition, "GraphHeight", Int(s.Height)},
                           {kGraph, "AutoX", Bool(s.AutoX)},
                           {kGraph, "AutoY", Bool(s.AutoY)},
                           {kGraph, "JoinPoints", Bool(s.JoinPoints)},
                           {kGraph, "DrawAxes", Bool(s.DrawAxes)},
                           {kGraph, "GridLabels", Bool(s.GridLabels)}});
  ini.WriteValues(keys);
}

void Load(const IniFile& ini, THistorySettings& s) {
  const THistorySettings d;
  s.Left = ini.ReadInteger(kPosition, "HistoryLeft", d.Left);
  s.Top = ini.ReadInteger(kPosition, "HistoryTop", d.Top);
  s.Width = ini.ReadInteger(kPosition, "HistoryWidth", d.Width);
  s.Height = ini.ReadInteger(kPosition, "HistoryHeight", d.Height);
}

void Save(IniFile& ini, const THistorySettings& s, bool withPosition) {
  std::vector<TIniValue> keys;
  if (withPosition)
    keys = {{kPosition, "HistoryLeft", Int(s.Left)}, {kPosition, "HistoryTop", Int(s.Top)}};
  keys.insert(keys.end(), {{kPosition, "HistoryWidth", Int(s.Width)},
                           {kPosition, "HistoryHeight", Int(s.Height)}});
  ini.WriteValues(keys);
}
