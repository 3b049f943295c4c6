#include <gtest/gtest.h>

#include <set>

#include "interchange/import_dialogs.h"
#include "platform/headless/headless_dialogs.h"
#include "properties/positioning_dialogs.h"
#include "properties/properties_window.h"
#include "properties/shape_dialogs.h"

using namespace qshe;

TEST(DialogResources, EveryControlLiesInsideItsDialogWithOneIdAndOneDefaultButton) {
  for (const platform::DialogResource* r :
       {&PropertiesDialog(), &InsertShapesDialog(), &SwapShapesDialog(), &JumpToDialog(), &ShapePositionDialog(),
        &TavrelPositionDialog(), &PositionSettingsDialog(), &ImportFilesDialog(), &ImportCollageDialog()}) {
    std::set<int> ids;
    int defaults = 0;
    for (const auto& c : r->controls) {
      EXPECT_TRUE(c.id == platform::kNoControl || ids.insert(c.id).second) << r->id << " " << c.id;
      // A drop-down list's rectangle counts its dropped list, which may reach past the dialog.
      int bottom = c.kind == platform::ControlKind::DropDownList ? c.y + 14 : c.y + c.height;
      EXPECT_LE(c.x + c.width, r->width) << r->id << " " << c.text;
      EXPECT_LE(bottom, r->height) << r->id << " " << c.text;
      defaults += c.kind == platform::ControlKind::DefaultButton;
    }
    EXPECT_LE(defaults, 1) << r->id;
  }
}

TEST(DialogResources, APreviewIsAPictureOfFixedPixelsWhateverTheFont) {
  platform::HeadlessDialogs host;
  host.baseUnits = {9, 20};
  host.CreateDialog(TavrelPositionDialog());
  auto* surface = dynamic_cast<platform::HeadlessSurface*>(host.ItemSurface(kTavrelPositionDialog, kPreviewSurface));
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->width(), kPreviewSize);
  EXPECT_EQ(surface->height(), kPreviewSize);
  EXPECT_EQ(host.Find(kTavrelPositionDialog)->title, "Tavrel position");
}
