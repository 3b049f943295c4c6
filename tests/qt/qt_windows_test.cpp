// The editor's other windows as real Qt windows: every key typed into any of
// their controls stays there, their fonts and number boxes at every size,
// where they open and what is remembered of them, and the help window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTest>

#include <map>
#include <set>
#include <string>

#include "app/command_table.h"
#include "app/dialog_routing.h"
#include "app/help_window.h"
#include "app/shape_browser.h"
#include "interchange/import_dialogs.h"
#include "properties/animation_dialog.h"
#include "platform/qt/qt_scale.h"
#include "properties/positioning_dialogs.h"
#include "properties/properties_window.h"
#include "properties/shape_dialogs.h"
#include "qt_editor.h"

using namespace qshe;
using qshe::testing::QtEditor;

namespace {

// Every window the program opens besides the main window, with what opens it.
const std::vector<int> kAllDialogs = {kPropertiesDialog,    kInsertDialog,         kSwapDialog,
                                      kJumpDialog,          kImportFilesDialog,    kImportCollageDialog,
                                      kShapePositionDialog, kTavrelPositionDialog, kPositionSettingsDialog,
                                      kHelpDialog,          kAnimationDialog,      kShapesDialog};

// Counts every shortcut of the main window that fires.
struct ShortcutSpy {
  std::map<std::string, int> fired;
  explicit ShortcutSpy(QWidget& window) {
    for (QAction* a : window.findChildren<QAction*>()) {
      if (a->shortcut().isEmpty()) continue;
      const std::string key = a->shortcut().toString().toStdString();
      QObject::connect(a, &QAction::triggered, [this, key] { ++fired[key]; });
    }
  }
  int total() const {
    int n = 0;
    for (const auto& [key, count] : fired) n += count;
    return n;
  }
};

struct QtWindows : ::testing::Test {
  QtEditor q;
  platform::QtDialogHost& host = q.window.dialogHost();

  void SetUp() override {
    ASSERT_TRUE(q.Start());
    // Nothing that the keys could bring up may wait for a real user.
    q.window.SetTextOpener("/nonexistent/opener");
  }
  void Open(int dialog) {
    ShowModelessDialog(q.editor, dialog);
    QApplication::processEvents();
  }
  // The widgets that can have the keyboard: every control that takes the
  // focus, or the window itself when none does (the previews).
  std::vector<std::pair<std::string, QWidget*>> KeyTargets(int dialog) {
    std::vector<std::pair<std::string, QWidget*>> out;
    QDialog* window = host.DialogWindow(dialog);
    for (QWidget* w : window->findChildren<QWidget*>()) {
      if (w->parentWidget() != window || w->focusPolicy() == Qt::NoFocus) continue;
      out.push_back({w->metaObject()->className(), w});
    }
    if (out.empty()) out.push_back({"window", window});
    return out;
  }
};

// Whether the edit shows `text` whole: the first character at its left edge
// and the last at its right, with the cursor at the end.
bool ShowsWhole(QLineEdit* edit, const QString& text) {
  edit->setText(text);
  edit->end(false);
  const QRect inside = edit->contentsRect();
  const int y = inside.center().y();
  return edit->cursorPositionAt(QPoint(inside.left() + 2, y)) == 0 &&
         edit->fontMetrics().horizontalAdvance(text) + 4 <= inside.width();
}

QRect Frame(QWidget* w) { return w->frameGeometry(); }

}  // namespace

TEST_F(QtWindows, KeysTypedIntoAnyControlOfAnyWindowNeverReachTheMainWindow) {
  // Every control enabled: both switches of the properties window on.
  q.editor.doc.state.qs2Flag = 1;
  q.editor.doc.state.qbjFlag = 1;
  ShortcutSpy spy(q.window);
  std::vector<int> keys;
  for (int k = Qt::Key_A; k <= Qt::Key_Z; ++k) keys.push_back(k);
  for (int k = Qt::Key_0; k <= Qt::Key_9; ++k) keys.push_back(k);
  for (int k : {Qt::Key_Plus, Qt::Key_Equal, Qt::Key_Minus, Qt::Key_Period, Qt::Key_Comma, Qt::Key_Left,
                Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Space,
                Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Delete, Qt::Key_Backspace,
                Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    keys.push_back(k);
  }
  std::set<std::string> kinds;
  for (int dialog : kAllDialogs) {
    Open(dialog);
    ASSERT_TRUE(host.DialogVisible(dialog)) << dialog;
    for (auto [kind, target] : KeyTargets(dialog)) {
      kinds.insert(kind);
      for (int key : keys) {
        // Enter, Escape and Space may close the window; it opens again.
        if (!host.DialogVisible(dialog)) Open(dialog);
        QApplication::setActiveWindow(host.DialogWindow(dialog));
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        QApplication::processEvents();
        // A list's own drop-down closes again.
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        ASSERT_EQ(spy.total(), 0) << "dialog " << dialog << ", " << kind << ", key "
                                  << QKeySequence(key).toString().toStdString() << ": "
                                  << spy.fired.rbegin()->first;
      }
    }
  }
  // Edits, check boxes, lists, buttons, the previews and the help text.
  for (const char* kind : {"QLineEdit", "QCheckBox", "QComboBox", "QPushButton", "window", "QPlainTextEdit"}) {
    EXPECT_TRUE(kinds.count(kind)) << kind;
  }
  EXPECT_EQ(q.scripted.openDialogs.size() + q.scripted.messages.size() > 0, true);  // the keys did work there

  // The position list of Insert Shapes is chosen with the arrow keys.
  Open(kInsertDialog);
  QApplication::setActiveWindow(host.DialogWindow(kInsertDialog));
  auto* where = qobject_cast<QComboBox*>(host.ItemWidget(kInsertDialog, kInsertWhere));
  where->setCurrentIndex(0);
  where->setFocus();
  QTest::keyClick(where, Qt::Key_Down);
  EXPECT_EQ(where->currentIndex(), 1);
  QTest::keyClick(where, Qt::Key_Down);
  QTest::keyClick(where, Qt::Key_Up);
  EXPECT_EQ(where->currentIndex(), 1);

  // A Ctrl key that no control takes still reaches the main window.
  Open(kPropertiesDialog);
  QApplication::setActiveWindow(host.DialogWindow(kPropertiesDialog));
  QWidget* sittable = host.ItemWidget(kPropertiesDialog, kPropSittable);
  sittable->setFocus();
  q.editor.doc.state.modified = kModified;
  QTest::keyClick(sittable, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(spy.fired["Ctrl+S"], 1);
  // One the edit takes (its own undo) does not.
  QLineEdit* x = qobject_cast<QLineEdit*>(host.ItemWidget(kPropertiesDialog, kPropOffsetX));
  x->setFocus();
  QTest::keyClick(x, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(spy.fired["Ctrl+Z"], 0);
  // With the main window active its keys are its own again.
  QApplication::setActiveWindow(&q.window);
  q.window.clientArea()->setFocus();
  QTest::keyClick(q.window.clientArea(), Qt::Key_W);
  EXPECT_EQ(spy.fired["W"], 1);
}

TEST_F(QtWindows, NumberBoxesShowTheirWidestValueWholeAtEveryFontSize) {
  for (int dialog : {kPropertiesDialog, kInsertDialog, kSwapDialog, kJumpDialog, kPositionSettingsDialog}) Open(dialog);
  const QFont desktop = QApplication::font();
  const std::vector<std::tuple<int, int, QString>> boxes = {
      {kPropertiesDialog, kPropOffsetX, "-127"},     {kPropertiesDialog, kPropOffsetY, "-128"},
      {kPropertiesDialog, kPropReplacement, "32767"}, {kPropertiesDialog, kPropReplacement, "-32768"},
      {kPropertiesDialog, kPropTavrelX, "-127"},     {kPropertiesDialog, kPropTavrelY, "-128"},
      {kInsertDialog, kInsertCount, "2000"},         {kSwapDialog, kSwapNumber, "4999"},
      {kJumpDialog, kJumpNumber, "4999"},            {kPositionSettingsDialog, kBackdropNumber, "4999"}};
  for (double points : {7.0, 9.0, 12.0, 18.0, 27.0, 36.0}) {
    QFont f = desktop;
    f.setPointSizeF(points);
    host.SetBaseFont(f);
    host.SetScales(1, 1.0);
    for (auto [dialog, control, text] : boxes) {
      auto* edit = qobject_cast<QLineEdit*>(host.ItemWidget(dialog, control));
      ASSERT_NE(edit, nullptr);
      EXPECT_TRUE(ShowsWhole(edit, text)) << points << " pt, dialog " << dialog << " box " << control << " "
                                          << text.toStdString() << " in " << edit->width();
      // Nothing else of the window lies under the grown box.
      for (QWidget* other : host.DialogWindow(dialog)->findChildren<QWidget*>()) {
        if (other == edit || other->parentWidget() != edit->parentWidget() || qobject_cast<QGroupBox*>(other)) continue;
        EXPECT_FALSE(other->geometry().intersects(edit->geometry()))
            << points << " pt, dialog " << dialog << " box " << control << " and " << other->metaObject()->className();
      }
      EXPECT_LE(edit->geometry().right(), host.DialogWindow(dialog)->width()) << points << " pt, dialog " << dialog;
    }
  }
  host.SetBaseFont(desktop);
  host.SetScales(1, 1.0);
}

TEST_F(QtWindows, NoTextOfAnyDialogIsCutAtAnyFontSize) {
  const std::vector<int> dialogs = {kPropertiesDialog,  kInsertDialog,        kSwapDialog,
                                    kJumpDialog,        kImportFilesDialog,   kImportCollageDialog,
                                    kPositionSettingsDialog};
  q.editor.doc.state.qs2Flag = 1;
  for (int dialog : dialogs) Open(dialog);
  const QFont desktop = QApplication::font();
  for (double points : {7.0, 9.0, 11.0, 14.0, 20.0, 27.0}) {
    QFont f = desktop;
    f.setPointSizeF(points);
    host.SetBaseFont(f);
    host.SetScales(1, 1.0);
    for (int dialog : dialogs) {
      QDialog* window = host.DialogWindow(dialog);
      for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->parentWidget() != window) continue;
        const std::string what = std::to_string(points) + " pt, dialog " + std::to_string(dialog) + ", " +
                                 w->metaObject()->className();
        if (auto* label = qobject_cast<QLabel*>(w)) {
          if (label->wordWrap()) {
            EXPECT_LE(label->heightForWidth(label->width()), label->height()) << what << " " << label->text().toStdString();
          } else {
            EXPECT_LE(label->sizeHint().width(), label->width()) << what << " " << label->text().toStdString();
          }
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
          EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text().remove('&')), button->width()) << what;
        } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QComboBox*>(w)) {
          EXPECT_LE(w->sizeHint().width(), w->width()) << what;
        }
        // Every control inside its window.
        EXPECT_TRUE(window->rect().contains(w->geometry())) << what;
      }
    }
  }
  host.SetBaseFont(desktop);
  host.SetScales(1, 1.0);
}

TEST(QtInterfaceScale, FontsGrowWithTheWindowScaleAsFarAsTheScreenHasRoom) {
  const QSize fullHd(1920, 1080), uhd(3840, 2160);
  EXPECT_EQ(platform::InterfaceFontFactor(1, 1.0, fullHd), 1.0);
  EXPECT_EQ(platform::InterfaceFontFactor(2, 1.0, fullHd), 2.0);
  EXPECT_EQ(platform::InterfaceFontFactor(3, 1.0, fullHd), 2.25);  // 1080 / 480
  EXPECT_EQ(platform::InterfaceFontFactor(4, 1.0, uhd), 4.0);
  // On a dense screen the desktop's fonts are already larger.
  EXPECT_EQ(platform::InterfaceFontFactor(2, 2.0, fullHd), 1.0);
  EXPECT_EQ(platform::InterfaceFontFactor(4, 2.0, fullHd), 2.0);
  EXPECT_EQ(platform::InterfaceFontFactor(3, 1.0, QSize(640, 480)), 1.0);

  // In the window: the menus, the boxes to come and the dialogs follow.
  QtEditor q;
  ASSERT_TRUE(q.Start());
  const double desktop = QApplication::font().pointSizeF();
  ShowModelessDialog(q.editor, kJumpDialog);
  q.window.SetWindowScale(2);
  const double factor = q.window.InterfaceFontFactor();
  const QSize screen = q.window.screen()->availableGeometry().size();
  EXPECT_EQ(factor, platform::InterfaceFontFactor(2, q.window.devicePixelRatioF(), screen));
  EXPECT_GT(factor, 1.0);
  EXPECT_DOUBLE_EQ(q.window.menuBar()->font().pointSizeF(), desktop * factor);
  for (QMenu* menu : q.window.menuBar()->findChildren<QMenu*>()) EXPECT_DOUBLE_EQ(menu->font().pointSizeF(), desktop * factor);
  EXPECT_DOUBLE_EQ(QApplication::font().pointSizeF(), desktop * factor);
  QDialog* jump = q.window.dialogHost().DialogWindow(kJumpDialog);
  EXPECT_DOUBLE_EQ(jump->font().pointSizeF(), desktop * q.window.dialogHost().DialogFontFactor(kJumpDialog));
  q.window.SetWindowScale(1);
  EXPECT_DOUBLE_EQ(QApplication::font().pointSizeF(), desktop);
  EXPECT_DOUBLE_EQ(jump->font().pointSizeF(), desktop);
  q.window.close();
}

TEST_F(QtWindows, EveryWindowOpensInsideTheScreenAndTheSmallOnesOffTheCanvas) {
  const QRect area = q.window.screen()->availableGeometry();
  for (int dialog : kAllDialogs) {
    Open(dialog);
    QDialog* w = host.DialogWindow(dialog);
    EXPECT_TRUE(area.contains(Frame(w))) << dialog;
    if (dialog == kJumpDialog || dialog == kSwapDialog || dialog == kShapePositionDialog || dialog == kAnimationDialog) {
      EXPECT_FALSE(Frame(w).intersects(q.window.CanvasOnScreen())) << dialog;
    }
    host.HideDialog(dialog);
  }
  // Beside the main window where there is room: the window moved partly
  // past the screen's left edge leaves room on its right.
  q.window.move(area.left() - 300, area.top());
  QApplication::processEvents();
  Open(kJumpDialog);
  EXPECT_GT(Frame(host.DialogWindow(kJumpDialog)).left(), q.window.frameGeometry().right());
  EXPECT_TRUE(area.contains(Frame(host.DialogWindow(kJumpDialog))));
}

TEST_F(QtWindows, APreviewGrowsWithTheScaleOnlyWhereItFitsOffTheCanvas) {
  Open(kShapePositionDialog);
  QDialog* preview = host.DialogWindow(kShapePositionDialog);
  const QRect area = q.window.screen()->availableGeometry();
  // The main window in the corner of the offscreen screen (800 x 600) at
  // twice the size leaves no room for a 400-pixel preview off the canvas:
  // the preview stays at 1 and off the canvas.
  q.window.move(area.topLeft());
  q.window.SetWindowScale(2);
  QApplication::processEvents();
  EXPECT_EQ(host.DialogPictureScale(kShapePositionDialog), 1);
  EXPECT_EQ(preview->size(), QSize(kPreviewSize, kPreviewSize));
  EXPECT_FALSE(Frame(preview).intersects(q.window.CanvasOnScreen()));
  EXPECT_TRUE(area.contains(Frame(preview)));
  // Moved mostly off the screen's left, it leaves room, and the preview
  // draws at 2, block for block.
  q.window.move(-700, 0);
  q.window.SetWindowScale(1);
  q.window.SetWindowScale(2);
  QApplication::processEvents();
  EXPECT_EQ(host.DialogPictureScale(kShapePositionDialog), 2);
  EXPECT_EQ(preview->size(), QSize(2 * kPreviewSize, 2 * kPreviewSize));
  EXPECT_FALSE(Frame(preview).intersects(q.window.CanvasOnScreen()));
  EXPECT_TRUE(area.contains(Frame(preview)));
}

TEST(QtWindowState, WhereTheUserMovedEachWindowAndWhichWereOpenAreRemembered) {
  qshe::testing::TempDir dir;
  QSettings state(QString::fromStdString(dir.File("state.ini")), QSettings::IniFormat);
  {
    QtEditor q;
    q.window.UseStateStore(&state);
    ASSERT_TRUE(q.Start());
    platform::QtDialogHost& host = q.window.dialogHost();
    ShowModelessDialog(q.editor, kPropertiesDialog);
    ShowModelessDialog(q.editor, kJumpDialog);
    ShowModelessDialog(q.editor, kShapePositionDialog);
    ShowModelessDialog(q.editor, kAnimationDialog);
    QApplication::processEvents();
    host.DialogWindow(kPropertiesDialog)->move(30, 40);
    host.DialogWindow(kAnimationDialog)->move(60, 330);
    QApplication::processEvents();
    // Closed by the user: not open next time.
    OnDialogEvent(q.editor, {kJumpDialog, platform::kNoControl, platform::DialogEvent::Close, 0, 0, 0});
    EXPECT_FALSE(host.DialogVisible(kJumpDialog));
    q.window.close();
  }
  EXPECT_EQ(state.value("Windows/107/Position").toPoint(), QPoint(30, 40));
  EXPECT_TRUE(state.value("Windows/107/Open").toBool());
  EXPECT_FALSE(state.value("Windows/114/Open").toBool());
  // A place the program chose is not the user's.
  EXPECT_FALSE(state.contains("Windows/110/Position"));

  QtEditor q;
  q.window.UseStateStore(&state);
  ASSERT_TRUE(q.Start());
  q.window.ReopenWindows();
  QApplication::processEvents();
  platform::QtDialogHost& host = q.window.dialogHost();
  ASSERT_TRUE(host.DialogVisible(kPropertiesDialog));
  EXPECT_EQ(host.DialogWindow(kPropertiesDialog)->pos(), QPoint(30, 40));
  EXPECT_TRUE(host.DialogVisible(kShapePositionDialog));
  EXPECT_FALSE(host.DialogVisible(kJumpDialog));
  EXPECT_EQ(host.DialogWindow(kPropertiesDialog)->windowTitle().toStdString(), "Shape 0 properties");
  // The Animation window comes back where it was put, playing.
  ASSERT_TRUE(host.DialogVisible(kAnimationDialog));
  EXPECT_EQ(host.DialogWindow(kAnimationDialog)->pos(), QPoint(60, 330));
  EXPECT_TRUE(q.editor.animation.player.playing);

  // A remembered place off every screen comes back onto this one.
  state.setValue("Windows/114/Position", QPoint(5000, 5000));
  state.setValue("Windows/114/Open", true);
  QtEditor again;
  again.window.UseStateStore(&state);
  ASSERT_TRUE(again.Start());
  again.window.ReopenWindows();
  QApplication::processEvents();
  QDialog* jump = again.window.dialogHost().DialogWindow(kJumpDialog);
  ASSERT_NE(jump, nullptr);
  EXPECT_TRUE(again.window.screen()->availableGeometry().contains(Frame(jump)));
  q.window.close();
  again.window.close();
}

TEST_F(QtWindows, HelpOpensInTheProgramsOwnWindowWhenNoViewerStartsOrOneGivesUp) {
  q.window.MenuAction(kCmdHelp)->trigger();
  QApplication::processEvents();
  ASSERT_TRUE(host.DialogVisible(kHelpDialog));
  auto* text = qobject_cast<QPlainTextEdit*>(host.ItemWidget(kHelpDialog, kHelpText));
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->isReadOnly());
  EXPECT_TRUE(text->toPlainText().startsWith("QSH EDITOR - HELP\n"));
  EXPECT_TRUE(q.scripted.messages.empty());
  EXPECT_TRUE(q.window.screen()->availableGeometry().contains(Frame(host.DialogWindow(kHelpDialog))));
  QTest::keyClick(text, Qt::Key_Escape);
  EXPECT_FALSE(host.DialogVisible(kHelpDialog));

  // An opener that starts and then says it found no viewer.
  q.window.SetTextOpener("/bin/false");
  q.window.MenuAction(kCmdHelp)->trigger();
  QElapsedTimer waited;
  waited.start();
  while (!host.DialogVisible(kHelpDialog) && waited.elapsed() < 20000) QApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_TRUE(host.DialogVisible(kHelpDialog));
  EXPECT_TRUE(q.scripted.messages.empty());
}
