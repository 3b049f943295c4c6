// help.txt against the command table: every menu entry is there with every
// key that reaches it, every key without an entry is named, and no Ctrl key
// is named that the program does not have.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "support_files.h"

namespace qshe::gen {
namespace {

using platform::MenuItem;

std::vector<std::string> HelpLines() {
  const FileSet files = GenerateSupportFiles();
  const std::vector<uint8_t>& bytes = files.at(kHelpName);
  std::string text(bytes.begin(), bytes.end());
  std::erase(text, '\r');
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Words of a line as keys are written: split at blanks, a comma after a
// word dropped ("Left, Right"); a comma alone is the key ",".
std::vector<std::string> Tokens(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream in(line);
  for (std::string word; in >> word;) {
    if (word.size() > 1 && word.back() == ',') word.pop_back();
    out.push_back(word);
  }
  return out;
}

bool HasToken(const std::string& line, const std::string& key) {
  const std::vector<std::string> t = Tokens(line);
  return std::find(t.begin(), t.end(), key) != t.end();
}

std::string Plain(std::string label) {
  std::erase(label, '&');
  return label;
}

void CollectCommands(const std::vector<MenuItem>& items, std::vector<const MenuItem*>& out) {
  for (const MenuItem& item : items) {
    if (item.kind == MenuItem::Kind::Command) out.push_back(&item);
    CollectCommands(item.children, out);
  }
}

std::vector<std::string> KeysOf(int menuId) {
  std::vector<std::string> keys;
  for (const platform::Accelerator& a : MainAccelerators()) {
    if (MenuIdFor(a.id) == menuId) keys.push_back(a.key);
  }
  return keys;
}

TEST(HelpText, NamesEveryMenuEntryWithAllItsKeysOnOneLine) {
  const std::vector<std::string> lines = HelpLines();
  std::vector<const MenuItem*> commands;
  CollectCommands(MainMenu(), commands);
  ASSERT_GT(commands.size(), 60u);
  for (const MenuItem* item : commands) {
    const std::string label = Plain(item->label);
    const std::vector<std::string> keys = KeysOf(item->id);
    const bool found = std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.find(label) != std::string::npos &&
             std::all_of(keys.begin(), keys.end(), [&](const std::string& k) { return HasToken(line, k); });
    });
    std::string all;
    for (const std::string& k : keys) all += " " + k;
    EXPECT_TRUE(found) << "\"" << label << "\" with keys" << all;
  }
}

TEST(HelpText, NamesEveryKeyWithoutAMenuEntryAndNoKeyTheProgramLacks) {
  const std::vector<std::string> lines = HelpLines();
  const std::vector<int> ids = MenuCommandIds();
  std::set<std::string> keys;
  for (const platform::Accelerator& a : MainAccelerators()) {
    keys.insert(a.key);
    auto menuId = MenuIdFor(a.id);
    ASSERT_TRUE(menuId) << a.key;
    if (std::find(ids.begin(), ids.end(), *menuId) != ids.end()) continue;
    const bool named = std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return HasToken(l, a.key); });
    EXPECT_TRUE(named) << a.key;
  }
  // A Ctrl key named in the text must be one the program has (Ctrl+click and
  // the like are the mouse's).
  for (const std::string& line : lines) {
    for (std::string t : Tokens(line)) {
      while (!t.empty() && (t.back() == ')' || t.back() == '.' || t.back() == ';')) t.pop_back();
      const bool mouse = t.ends_with("click") || t.ends_with("wheel") || t.ends_with("drag");
      if (t.rfind("Ctrl+", 0) == 0 && t.size() > 5 && !mouse) {
        EXPECT_TRUE(keys.count(t)) << t << " in: " << line;
      }
    }
  }
}

TEST(HelpText, SaysWhatTheProgramDoesNow) {
  std::string text;
  for (const std::string& line : HelpLines()) text += line + "\n";
  // Words for what the editor has grown since its first help text.
  for (const char* topic : {"PNG", "Window Scale", "RECOVERY", "SELECTION AND CLIPBOARD", "Multiple pictures",
                            "qshe-tool", "~/.config/qshe/qshe.conf", "Shape Position"}) {
    EXPECT_NE(text.find(topic), std::string::npos) << topic;
  }
  for (const char* stale : {"there are no settings", "uncompressed 8-bit or 24-bit"}) {
    EXPECT_EQ(text.find(stale), std::string::npos) << stale;
  }
}

}  // namespace
}  // namespace qshe::gen
