#include "base/window_model.h"

#include <stdexcept>

namespace zambrix {

std::string Indexed(std::string_view base, int index) {
  return std::string(base) + "(" + std::to_string(index) + ")";
}

Control& WindowModel::Add(Control c) {
  auto it = controls_.find(c.name);
  if (it == controls_.end()) order_.push_back(c.name);
  auto name = c.name;
  auto& slot = controls_[name];
  slot = std::make_unique<Control>(std::move(c));
  return *slot;
}

bool WindowModel::Has(std::string_view name) const {
  return controls_.find(name) != controls_.end();
}

const Control& WindowModel::Get(std::string_view name) const {
  auto it = controls_.find(name);
  if (it == controls_.end()) throw std::out_of_range("no control named " + std::string(name));
  return *it->second;
}

Control& WindowModel::Mut(std::string_view name) {
  auto it = controls_.find(name);
  if (it == controls_.end()) throw std::out_of_range("no control named " + std::string(name));
  return *it->second;
}

std::vector<std::string> WindowModel::Names() const { return order_; }

void WindowModel::Notify(const Control& c, Change what) {
  // Copy the ids first: an observer may remove itself.
  std::vector<int> ids;
  ids.reserve(observers_.size());
  for (auto& [id, o] : observers_) ids.push_back(id);
  for (int id : ids) {
    auto it = observers_.find(id);
    if (it != observers_.end()) it->second(c, what);
  }
}

void WindowModel::SetCaption(std::string_view name, std::string text) {
  auto& c = Mut(name);
  if (c.caption == text) return;
  c.caption = std::move(text);
  Notify(c, Change::Caption);
}

void WindowModel::AppendText(std::string_view name, std::string_view text) {
  auto& c = Mut(name);
  c.caption.append(text);
  Notify(c, Change::Appended);
}

void WindowModel::SetEnabled(std::string_view name, bool on) {
  auto& c = Mut(name);
  if (c.enabled == on) return;
  c.enabled = on;
  Notify(c, Change::Enabled);
}

void WindowModel::SetVisible(std::string_view name, bool on) {
  auto& c = Mut(name);
  if (c.visible == on) return;
  c.visible = on;
  Notify(c, Change::Visible);
}

void WindowModel::SetTooltip(std::string_view name, std::string text) {
  auto& c = Mut(name);
  if (c.tooltip == text) return;
  c.tooltip = std::move(text);
  Notify(c, Change::Tooltip);
}

void WindowModel::SetColour(std::string_view name, std::uint32_t colour) {
  auto& c = Mut(name);
  c.fore_colour = colour;
  Notify(c, Change::Colour);  // always: a lit indicator repaints even when unchanged
}

void WindowModel::SetBackColour(std::string_view name, std::uint32_t colour) {
  auto& c = Mut(name);
  if (c.back_colour == colour) return;
  c.back_colour = colour;
  Notify(c, Change::BackColour);
}

void WindowModel::SetMax(std::string_view name, int max) {
  auto& c = Mut(name);
  if (c.max == max) return;
  c.max = max;
  // A position above the new maximum is pulled down without an event: a new
  // range never reads the chip or repaints a page by itself.
  if (c.value > max && max >= c.min) c.value = max;
  Notify(c, Change::Range);
}

void WindowModel::SetMin(std::string_view name, int min) {
  auto& c = Mut(name);
  if (c.min == min) return;
  c.min = min;
  Notify(c, Change::Range);
}

void WindowModel::SetItems(std::string_view name, std::vector<std::string> items) {
  auto& c = Mut(name);
  c.items = std::move(items);
  c.list_index = -1;
  Notify(c, Change::Items);
}

void WindowModel::SetGeometry(std::string_view name, double left, double top, double width,
                              double height) {
  auto& c = Mut(name);
  c.left = left;
  c.top = top;
  c.width = width;
  c.height = height;
  Notify(c, Change::Geometry);
}

void WindowModel::SetWindowState(std::string_view name, int state) {
  auto& c = Mut(name);
  c.window_state = state;
  Notify(c, Change::Geometry);
}

void WindowModel::SetValue(std::string_view name, int value) {
  auto& c = Mut(name);
  if (c.kind == ControlKind::Option) {
    bool becomes_selected = value != 0 && c.value == 0;
    if (value != 0 && !c.group.empty()) {
      for (auto& [other_name, other] : controls_) {
        if (other.get() != &c && other->kind == ControlKind::Option && other->group == c.group &&
            other->value != 0) {
          other->value = 0;
          Notify(*other, Change::Value);
        }
      }
    }
    if (c.value == (value != 0 ? 1 : 0)) return;
    c.value = value != 0 ? 1 : 0;
    Notify(c, Change::Value);
    if (becomes_selected) Fire(name);
    return;
  }
  if (c.value == value) return;
  c.value = value;
  Notify(c, Change::Value);
  if (c.kind == ControlKind::CheckBox || c.kind == ControlKind::ScrollBar ||
      c.kind == ControlKind::Slider) {
    Fire(name);
  }
}

void WindowModel::SetValueQuiet(std::string_view name, int value) {
  auto& c = Mut(name);
  if (c.value == value) return;
  c.value = value;
  Notify(c, Change::Value);
}

void WindowModel::SetListIndex(std::string_view name, int index) {
  auto& c = Mut(name);
  if (index < -1 || index >= static_cast<int>(c.items.size())) {
    throw std::out_of_range("list index out of range for " + std::string(name));
  }
  if (c.list_index == index) return;
  c.list_index = index;
  if (index >= 0) c.caption = c.items[static_cast<std::size_t>(index)];
  Notify(c, Change::ListIndex);
  Fire(name);
}

void WindowModel::SetHandler(std::string_view name, Handler h) {
  handlers_[std::string(name)] = std::move(h);
}

bool WindowModel::HasHandler(std::string_view name) const {
  return handlers_.find(name) != handlers_.end();
}

void WindowModel::Fire(std::string_view name) {
  auto it = handlers_.find(name);
  if (it == handlers_.end()) return;
  auto h = it->second;  // the handler may replace itself
  h();
}

int WindowModel::AddObserver(Observer o) {
  int id = next_observer_++;
  observers_[id] = std::move(o);
  return id;
}

void WindowModel::RemoveObserver(int id) { observers_.erase(id); }

}  // namespace zambrix
