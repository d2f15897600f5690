// The window model: the state of every named control of the main window, the
// about box and the display window, without any widget toolkit.
//
// Core logic reads and writes controls here; the Qt view mirrors them. Setting a
// value from code runs the control's own handler at once (inside the running
// handler), exactly as an operator's click would: option buttons when they become
// selected, check boxes, scroll bars and sliders when their value changes, the
// device list when its position changes.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/control_names.h"

namespace zambrix {

enum class ControlKind {
  Form,
  Frame,
  Label,
  Button,
  CheckBox,
  Option,
  TextBox,
  ComboBox,
  ScrollBar,
  Slider,
  ProgressBar,
  StatusBar,
  Menu,
  MenuSeparator,
  ToolButton,
  Timer,
  Picture,
};

// Colours as the window model keeps them: 0x00BBGGRR, or 0x800000xx for a
// system colour that the view looks up in the desktop's palette.
namespace colour {
constexpr std::uint32_t kRed = 0x000000FF;
constexpr std::uint32_t kGreen = 0x00008000;
constexpr std::uint32_t kButtonFace = 0x8000000F;  // unlit indicator
constexpr std::uint32_t kButtonText = 0x80000012;  // normal text
}  // namespace colour

struct Control {
  std::string name;  // e.g. "Read_button", "LPTSelection(1)", "tbToolBar.Buttons(4)"
  ControlKind kind = ControlKind::Label;
  std::string parent;   // container or menu this control sits in ("" = the form)
  std::string group;    // option group (option buttons of one group exclude each other)
  std::string caption;  // caption of labels, buttons, frames, menus; text of text boxes
  std::string tooltip;
  std::string key;  // toolbar button key
  bool enabled = true;
  bool visible = true;
  int value = 0;  // check state, option state, scroll/slider/progress position
  int min = 0;
  int max = 0;
  std::uint32_t fore_colour = colour::kButtonText;
  std::uint32_t back_colour = colour::kButtonFace;
  std::vector<std::string> items;  // list entries of a combo box
  int list_index = -1;             // chosen list entry, -1 = none
  // Placement of forms in twips (Form only).
  double left = 0, top = 0, width = 0, height = 0;
  int window_state = 0;  // 0 normal, 1 minimised, 2 maximised
};

// What changed, for observers (the Qt view).
enum class Change {
  Caption,
  Enabled,
  Visible,
  Value,
  Range,
  Colour,
  Items,
  ListIndex,
  Appended,
  Geometry,
  Tooltip,
  BackColour
};

class WindowModel {
 public:
  using Handler = std::function<void()>;
  using Observer = std::function<void(const Control&, Change)>;

  // Declares a control. Declaring a name twice replaces the first.
  Control& Add(Control c);
  bool Has(std::string_view name) const;
  const Control& Get(std::string_view name) const;  // throws std::out_of_range
  std::vector<std::string> Names() const;           // in declaration order

  // Plain property setters: they notify observers but run no handler.
  void SetCaption(std::string_view name, std::string text);
  void SetText(std::string_view name, std::string text) { SetCaption(name, std::move(text)); }
  void AppendText(std::string_view name, std::string_view text);  // cheap append (long logs)
  void SetEnabled(std::string_view name, bool on);
  void SetVisible(std::string_view name, bool on);
  void SetTooltip(std::string_view name, std::string text);
  void SetColour(std::string_view name, std::uint32_t colour);
  void SetBackColour(std::string_view name, std::uint32_t colour);
  void SetMax(std::string_view name, int max);
  void SetMin(std::string_view name, int min);
  void SetItems(std::string_view name, std::vector<std::string> items);
  void SetGeometry(std::string_view name, double left, double top, double width, double height);
  void SetWindowState(std::string_view name, int state);

  // Value setters with the control's own event: a check box, scroll bar or slider
  // runs its handler when the value changes; an option button that becomes
  // selected clears the others of its group and runs its handler.
  void SetValue(std::string_view name, int value);
  // The device list: sets the position, the text to the chosen entry (unchanged
  // for -1) and runs the handler when the position changes.
  void SetListIndex(std::string_view name, int index);
  // Progress bar or anything else whose value carries no event.
  void SetValueQuiet(std::string_view name, int value);

  // Convenience readers.
  const std::string& Caption(std::string_view name) const { return Get(name).caption; }
  const std::string& Text(std::string_view name) const { return Get(name).caption; }
  bool Enabled(std::string_view name) const { return Get(name).enabled; }
  bool Visible(std::string_view name) const { return Get(name).visible; }
  int Value(std::string_view name) const { return Get(name).value; }
  int Max(std::string_view name) const { return Get(name).max; }
  std::uint32_t Colour(std::string_view name) const { return Get(name).fore_colour; }
  std::uint32_t BackColour(std::string_view name) const { return Get(name).back_colour; }
  int ListIndex(std::string_view name) const { return Get(name).list_index; }

  // Handlers: what a click (or a value change from code) runs.
  void SetHandler(std::string_view name, Handler h);
  bool HasHandler(std::string_view name) const;
  // Runs the handler as an operator event would (no enabled check: the view
  // only offers enabled controls, and forwarding handlers ignore it anyway).
  void Fire(std::string_view name);

  // Observers see every change at once, so indicators repaint while a long
  // operation holds the event loop.
  int AddObserver(Observer o);
  void RemoveObserver(int id);

 private:
  Control& Mut(std::string_view name);
  void Notify(const Control& c, Change what);

  std::map<std::string, std::unique_ptr<Control>, std::less<>> controls_;
  std::vector<std::string> order_;
  std::map<std::string, Handler, std::less<>> handlers_;
  std::map<int, Observer> observers_;
  int next_observer_ = 1;
};

// "LPTSelection" + 1 -> "LPTSelection(1)".
std::string Indexed(std::string_view base, int index);

}  // namespace zambrix
