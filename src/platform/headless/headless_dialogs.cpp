#include "platform/headless/headless_dialogs.h"

#include <algorithm>

namespace qshe::platform {

void HeadlessDialogs::CreateDialog(const DialogResource& resource) {
  if (DialogExists(resource.id)) return;
  Dialog& d = dialogs_[resource.id];
  d.resource = resource;
  d.title = resource.caption;
  for (const DialogControl& c : resource.controls) {
    if (c.id == kNoControl) continue;
    Control& item = d.controls[c.id];
    item.kind = c.kind;
    item.text = c.kind == ControlKind::DropDownList ? "" : c.text;
    item.items = c.items;
    item.selection = c.items.empty() ? -1 : 0;
    if (c.kind == ControlKind::Surface) {
      Rect r = ControlPixels(c, ResourceUnits(resource, baseUnits));
      item.surface = std::make_unique<HeadlessSurface>(r.width(), r.height());
    }
    if (c.kind == ControlKind::ScrollView) {
      Rect r = ControlPixels(c, ResourceUnits(resource, baseUnits));
      item.view = std::make_unique<HeadlessScrollView>(r.width(), r.height());
    }
  }
  created.push_back(resource.id);
}

HeadlessDialogs::Control* HeadlessDialogs::Lookup(int dialog, int control) {
  auto d = dialogs_.find(dialog);
  if (d == dialogs_.end()) return nullptr;
  auto c = d->second.controls.find(control);
  return c == d->second.controls.end() ? nullptr : &c->second;
}

const HeadlessDialogs::Dialog* HeadlessDialogs::Find(int dialog) const {
  auto d = dialogs_.find(dialog);
  return d == dialogs_.end() ? nullptr : &d->second;
}

const HeadlessDialogs::Control& HeadlessDialogs::Item(int dialog, int control) const {
  static const Control none;
  const Dialog* d = Find(dialog);
  if (!d || !d->controls.count(control)) return none;
  return d->controls.at(control);
}

void HeadlessDialogs::Notify(int dialog, int control, DialogEvent event, int x, int y, int button) {
  if (listener_) listener_({dialog, control, event, x, y, button});
}

void HeadlessDialogs::NotifySurface(int dialog, int control, DialogEvent event, int x, int y, int button) {
  Control* c = Lookup(dialog, control);
  if (c && (c->kind == ControlKind::Surface || c->kind == ControlKind::ScrollView)) {
    Notify(dialog, control, event, x, y, button);
  }
}

void HeadlessDialogs::Press(int dialog, int control, int x, int y, int button) {
  NotifySurface(dialog, control, DialogEvent::MouseDown, x, y, button);
}

void HeadlessDialogs::Drag(int dialog, int control, int x, int y) {
  NotifySurface(dialog, control, DialogEvent::MouseMove, x, y, 0);
}

void HeadlessDialogs::Release(int dialog, int control, int x, int y, int button) {
  NotifySurface(dialog, control, DialogEvent::MouseUp, x, y, button);
}

void HeadlessScrollView::Resize(int width, int height, int newScale) {
  surface_ = std::make_unique<HeadlessSurface>(width, height);
  scale = newScale;
  SetScrollPosition(scrollY);
}

void HeadlessScrollView::SetContentHeight(int height, int stepSize) {
  contentHeight = std::max(0, height);
  step = std::max(1, stepSize);
  SetScrollPosition(scrollY);
}

void HeadlessScrollView::SetScrollPosition(int y) {
  scrollY = std::max(0, std::min(y, contentHeight - ViewHeight()));
}

int HeadlessScrollView::PopupMenu(const std::vector<MenuItem>& items, int, int) {
  menusShown.push_back(items);
  if (menuAnswers.empty()) return 0;
  const int answer = menuAnswers.front();
  menuAnswers.erase(menuAnswers.begin());
  return answer;
}

HeadlessScrollView* HeadlessDialogs::View(int dialog, int control) {
  Control* c = Lookup(dialog, control);
  return c ? c->view.get() : nullptr;
}

ScrollView* HeadlessDialogs::ItemScrollView(int dialog, int control) { return View(dialog, control); }

void HeadlessDialogs::PressWith(int dialog, int control, int x, int y, int button, int modifiers) {
  if (!View(dialog, control)) return;
  DialogNotification n{dialog, control, DialogEvent::MouseDown, x, y, button};
  n.modifiers = modifiers;
  if (listener_) listener_(n);
}

void HeadlessDialogs::Key(int dialog, int control, ViewKey key, int modifiers) {
  if (!View(dialog, control)) return;
  DialogNotification n{dialog, control, DialogEvent::KeyDown};
  n.key = key;
  n.modifiers = modifiers;
  if (listener_) listener_(n);
}

void HeadlessDialogs::ScrollBy(int dialog, int control, int dy) {
  HeadlessScrollView* v = View(dialog, control);
  if (!v) return;
  v->SetScrollPosition(v->scrollY + dy);
  Notify(dialog, control, DialogEvent::Scrolled);
}

void HeadlessDialogs::ResizeView(int dialog, int control, int width, int height, int scale) {
  HeadlessScrollView* v = View(dialog, control);
  if (!v) return;
  v->Resize(width, height, scale);
  Notify(dialog, control, DialogEvent::Resized);
}

void HeadlessDialogs::Activate(int dialog) {
  if (DialogExists(dialog)) Notify(dialog, kNoControl, DialogEvent::Activated);
}

bool HeadlessDialogs::PressKey(int dialog, const std::string& key) {
  const Dialog* d = Find(dialog);
  if (!d || !d->visible) return false;
  for (const DialogKey& k : d->resource.keys) {
    if (k.key != key) continue;
    Click(dialog, k.control);
    return true;
  }
  return false;
}

void HeadlessDialogs::Type(int dialog, int control, const std::string& text) {
  Control* c = Lookup(dialog, control);
  if (!c || !c->enabled || c->kind != ControlKind::Edit) return;
  c->text = text;
  Notify(dialog, control, DialogEvent::EditChanged);
}

void HeadlessDialogs::Click(int dialog, int control) {
  Control* c = Lookup(dialog, control);
  if (!c || !c->enabled) return;
  if (c->kind == ControlKind::CheckBox) c->checked = !c->checked;
  Notify(dialog, control, DialogEvent::Clicked);
}

void HeadlessDialogs::Choose(int dialog, int control, int index) {
  Control* c = Lookup(dialog, control);
  if (!c || !c->enabled || index < 0 || index >= static_cast<int>(c->items.size())) return;
  c->selection = index;
  Notify(dialog, control, DialogEvent::SelectionChanged);
}

void HeadlessDialogs::Close(int dialog) {
  if (DialogExists(dialog)) Notify(dialog, kNoControl, DialogEvent::Close);
}

void HeadlessDialogs::ShowDialog(int dialog) {
  auto d = dialogs_.find(dialog);
  if (d == dialogs_.end()) return;
  d->second.visible = true;
  ++d->second.timesShown;
}

void HeadlessDialogs::HideDialog(int dialog) {
  auto d = dialogs_.find(dialog);
  if (d != dialogs_.end()) d->second.visible = false;
}

bool HeadlessDialogs::DialogVisible(int dialog) {
  const Dialog* d = Find(dialog);
  return d && d->visible;
}

void HeadlessDialogs::SetDialogTitle(int dialog, const std::string& title) {
  auto d = dialogs_.find(dialog);
  if (d != dialogs_.end()) d->second.title = title;
}

void HeadlessDialogs::SetItemText(int dialog, int control, const std::string& text) {
  Control* c = Lookup(dialog, control);
  if (!c) return;
  c->text = text;
  // An edit tells its owner about every change, also the program's own.
  if (c->kind == ControlKind::Edit) Notify(dialog, control, DialogEvent::EditChanged);
}

std::string HeadlessDialogs::ItemText(int dialog, int control) {
  Control* c = Lookup(dialog, control);
  return c ? c->text : std::string();
}

void HeadlessDialogs::SetItemChecked(int dialog, int control, bool checked) {
  if (Control* c = Lookup(dialog, control)) c->checked = checked;
}

bool HeadlessDialogs::ItemChecked(int dialog, int control) {
  Control* c = Lookup(dialog, control);
  return c && c->checked;
}

void HeadlessDialogs::SetItemEnabled(int dialog, int control, bool enabled) {
  if (Control* c = Lookup(dialog, control)) c->enabled = enabled;
}

void HeadlessDialogs::SetListItems(int dialog, int control, const std::vector<std::string>& items) {
  Control* c = Lookup(dialog, control);
  if (!c) return;
  c->items = items;
  c->selection = items.empty() ? -1 : 0;
}

void HeadlessDialogs::SetListSelection(int dialog, int control, int index) {
  Control* c = Lookup(dialog, control);
  if (c && index >= -1 && index < static_cast<int>(c->items.size())) c->selection = index;
}

int HeadlessDialogs::ListSelection(int dialog, int control) {
  Control* c = Lookup(dialog, control);
  return c ? c->selection : -1;
}

void HeadlessDialogs::SetItemWarning(int dialog, int control, const std::string& text) {
  if (Control* c = Lookup(dialog, control)) c->warning = text;
}

WindowSurface* HeadlessDialogs::ItemSurface(int dialog, int control) {
  Control* c = Lookup(dialog, control);
  return c ? c->surface.get() : nullptr;
}

}  // namespace qshe::platform
