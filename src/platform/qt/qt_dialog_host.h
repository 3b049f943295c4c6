// Modeless dialogs on Qt: a window per dialog resource, owned by the main
// window, laid out in dialog units of its own font. The fonts grow with the
// window scale and the previews' pictures with it, as far as each window
// still finds a place on the screen off the canvas; where the user moved a
// window and whether it was open is kept for the next start.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/window_placement.h"
#include "platform/dialogs.h"

#include <QCursor>
#include <QFont>
#include <QPoint>
#include <QRect>

class QDialog;
class QKeyEvent;
class QSettings;
class QWidget;

namespace qshe::platform {

class QtPalettes;
class QtPicture;

class QtDialogHost : public DialogHost {
 public:
  // Pictures in dialogs make their palettes with `palettes`, the main window's.
  QtDialogHost(std::function<QWidget*()> owner, QtPalettes& palettes);
  // The dialogs go with the host, silently: nothing they do while being
  // taken down may reach a program that is gone.
  ~QtDialogHost() override;
  QtDialogHost(const QtDialogHost&) = delete;
  QtDialogHost& operator=(const QtDialogHost&) = delete;

  // The main window's whole-number scale, which the previews' pictures
  // follow block for block, and the factor the dialogs' fonts grow by.
  // Each dialog takes the largest of both up to these with which it still
  // finds a place off the canvas.
  void SetScales(int pictureScale, double fontFactor);
  int pictureScale() const { return scale_; }
  double fontFactor() const { return fontFactor_; }
  // What the dialog was laid out with; 0 for an unknown dialog.
  int DialogPictureScale(int dialog) const;
  double DialogFontFactor(int dialog) const;
  // The dialogs' font at factor 1.
  void SetBaseFont(const QFont& font) { baseFont_ = font; }
  // What the mouse shows over a picture.
  void SetPictureCursor(const QCursor& cursor);
  // The rectangle on the screen that no dialog should cover (the canvas).
  void SetKeepClear(std::function<QRect()> keepClear) { keepClear_ = std::move(keepClear); }
  // Where Ctrl keys go that no control of a dialog takes; true when taken.
  void SetKeyForwarder(std::function<bool(const QKeyEvent&)> forward) { forward_ = std::move(forward); }
  // Where each dialog stood and whether it was open; nothing is kept
  // without one (the tests' windows).
  void UseStateStore(QSettings* store) { state_ = store; }
  // The dialogs that were open when the program last ended.
  std::vector<int> RememberedOpen() const;

  // The dialog's window and a control's widget, for tests; null when none.
  QDialog* DialogWindow(int dialog) const;
  QWidget* ItemWidget(int dialog, int control) const;
  // The dialog font's base units.
  static DialogBaseUnits BaseUnitsOf(const QWidget& widget);
  // The units the dialog was laid out in: its font's, or a little more where
  // a text needed the room.
  DialogBaseUnits LayoutUnits(int dialog) const;

  void SetDialogListener(std::function<void(const DialogNotification&)> listener) override {
    listener_ = std::move(listener);
  }
  void CreateDialog(const DialogResource& resource) override;
  bool DialogExists(int dialog) override { return dialogs_.count(dialog) != 0; }
  void ShowDialog(int dialog) override;
  void HideDialog(int dialog) override;
  bool DialogVisible(int dialog) override;
  void SetDialogTitle(int dialog, const std::string& title) override;
  void SetItemText(int dialog, int control, const std::string& text) override;
  std::string ItemText(int dialog, int control) override;
  void SetItemChecked(int dialog, int control, bool checked) override;
  bool ItemChecked(int dialog, int control) override;
  void SetItemEnabled(int dialog, int control, bool enabled) override;
  void SetListItems(int dialog, int control, const std::vector<std::string>& items) override;
  void SetListSelection(int dialog, int control, int index) override;
  int ListSelection(int dialog, int control) override;
  void SetItemWarning(int dialog, int control, const std::string& text) override;
  WindowSurface* ItemSurface(int dialog, int control) override;
  ScrollView* ItemScrollView(int dialog, int control) override;
  void ActivateOwner() override;

  // Sends a notification to the listener (the dialogs' widgets call this).
  void Notify(const DialogNotification& notification) {
    if (listener_) listener_(notification);
  }
  // A key no control of the dialog took; true when the main window took it.
  bool ForwardKey(const QKeyEvent& event) const { return forward_ && forward_(event); }
  // The dialog's window was moved, by the user or the window manager.
  void OnDialogMoved(int dialog);

 private:
  struct Built {
    QDialog* window = nullptr;
    DialogResource resource;
    std::map<int, QWidget*> controls;
    std::vector<QWidget*> placed;  // one widget per resource control, in order
    double fontFactor = 1.0;
    int pictureScale = 1;
    DialogBaseUnits units;  // what the layout used, perhaps more than the font's
    bool shownOnce = false;  // placed at least once in this run
    bool userMoved = false;  // stands where the user put it
    QPoint placedAt;         // where the host put it last
  };
  // Lays the dialog out with its font `factor` times the base font, or its
  // pictures at `scale` (pixel dialogs).
  void LayOut(Built& built, double factor, int scale);
  // Every control at its resource rectangle in `base` units, texts and
  // number boxes widened where their row has room.
  void PlaceControls(Built& built, const DialogBaseUnits& base);
  // True when some label, check box, list or button shows less than its text.
  static bool TextCut(const Built& built);
  // Lays it out at the largest factor or scale up to the host's with which
  // it finds a spot off the canvas, and returns that spot (or, when none,
  // the one at factor 1 that covers least).
  WindowSpot FitAndFindSpot(Built& built);
  // The screen's available area the dialogs stay inside.
  QRect AvailableArea() const;
  // The window's frame size, also before the window manager has framed it.
  QSize FrameSize(const Built& built) const;
  // Moves the window, which then does not count as a move of the user's.
  void MoveTo(Built& built, QPoint frameTopLeft);
  void Remember(int dialog, const char* what, const QVariant& value);

  std::function<QWidget*()> owner_;
  QtPalettes& palettes_;
  int scale_ = 1;
  double fontFactor_ = 1.0;
  QFont baseFont_;
  QCursor pictureCursor_{Qt::OpenHandCursor};
  std::function<QRect()> keepClear_;
  std::function<bool(const QKeyEvent&)> forward_;
  QSettings* state_ = nullptr;
  bool placing_ = false;  // the host's own moves are not the user's
  std::function<void(const DialogNotification&)> listener_;
  // The widgets are the main window's children; the host deletes them first.
  std::map<int, Built> dialogs_;
};

}  // namespace qshe::platform
