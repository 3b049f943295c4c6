// Modeless dialogs on Qt: a tool window per dialog resource, owned by the
// main window, laid out in dialog units of its own font.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/dialogs.h"

#include <QCursor>

class QDialog;
class QWidget;

namespace qshe::platform {

class QtPalettes;
class QtPicture;

class QtDialogHost : public DialogHost {
 public:
  // Pictures in dialogs make their palettes with `palettes`, the main window's.
  QtDialogHost(std::function<QWidget*()> owner, QtPalettes& palettes)
      : owner_(std::move(owner)), palettes_(palettes) {}
  // The dialogs go with the host, silently: nothing they do while being
  // taken down may reach a program that is gone.
  ~QtDialogHost() override;
  QtDialogHost(const QtDialogHost&) = delete;
  QtDialogHost& operator=(const QtDialogHost&) = delete;

  // Dialogs laid out in pixels (the previews) follow the main window's
  // whole-number scale, their pictures enlarged block for block.
  void SetPictureScale(int scale);
  int pictureScale() const { return scale_; }
  // What the mouse shows over a picture.
  void SetPictureCursor(const QCursor& cursor);

  // The dialog's window and a control's widget, for tests; null when none.
  QDialog* DialogWindow(int dialog) const;
  QWidget* ItemWidget(int dialog, int control) const;
  // The dialog font's base units, as the layout used them.
  static DialogBaseUnits BaseUnitsOf(const QWidget& widget);

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

  // Sends a notification to the listener (the dialogs' widgets call this).
  void Notify(const DialogNotification& notification) {
    if (listener_) listener_(notification);
  }

 private:
  struct Built {
    QDialog* window = nullptr;
    std::map<int, QWidget*> controls;
    DialogResource pixelLayout;  // a resource laid out in pixels, kept to rescale it
    bool placed = false;         // shown once, where the user may since have moved it
  };
  // Sizes a pixel-laid-out dialog and its pictures for the scale.
  void LayOutInPixels(const Built& built);
  // The first showing of a preview: beside the main window, below the
  // previews already placed, instead of over the main window's middle.
  void PlaceBesideOwner(Built& built);
  int previewsPlaced_ = 0;

  std::function<QWidget*()> owner_;
  QtPalettes& palettes_;
  int scale_ = 1;
  QCursor pictureCursor_{Qt::OpenHandCursor};
  std::function<void(const DialogNotification&)> listener_;
  // The widgets are the main window's children; the host deletes them first.
  std::map<int, Built> dialogs_;
};

}  // namespace qshe::platform
