#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QStringList>

namespace qshe::platform {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

QWidget* QtDialogs::OwnerWidget(Owner owner) const {
  switch (owner) {
    case Owner::None: return nullptr;
    case Owner::ActiveWindow:
      if (QWidget* active = QApplication::activeWindow()) return active;
      return mainWindow_ ? mainWindow_() : nullptr;
    case Owner::MainWindow: return mainWindow_ ? mainWindow_() : nullptr;
  }
  return nullptr;
}

Answer QtDialogs::ShowMessageBox(const MessageBoxRequest& request) {
  QMessageBox box(OwnerWidget(request.owner));
  box.setWindowTitle(Q(request.caption));
  box.setText(Q(request.text));
  switch (request.icon) {
    case Icon::Stop: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
  }
  switch (request.buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default: return request.buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
  }
}

std::optional<std::string> QtDialogs::RunFileDialog(const FileDialogRequest& request, bool save) {
  QFileDialog dialog(OwnerWidget(request.owner), Q(request.title));
  QStringList filters;
  for (const auto& f : request.filters) {
    // Qt lists several patterns separated by blanks, not semicolons.
    QString patterns = Q(f.pattern).replace(';', ' ');
    QString description = Q(f.description);
    filters << (description.contains('(') ? description.section('(', 0, 0).trimmed() : description) +
                   " (" + patterns + ")";
  }
  dialog.setNameFilters(filters);
  if (request.firstFilter >= 0 && request.firstFilter < filters.size()) {
    dialog.selectNameFilter(filters[request.firstFilter]);
  }
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(Q(request.defaultExtension));
  // A filter of one kind of file also names what a typed name without an
  // ending gets, so a save asks about the file it will really write.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &request, filters](const QString& f) {
    const qsizetype i = filters.indexOf(f);
    if (i < 0) return;
    const std::string& pattern = request.filters[static_cast<size_t>(i)].pattern;
    const bool single = pattern.rfind("*.", 0) == 0 && pattern.find_first_of(";* ", 2) == std::string::npos;
    dialog.setDefaultSuffix(single ? Q(pattern.substr(2)) : Q(request.defaultExtension));
    if (!single) return;
    // The proposed name follows: shape3.bmp becomes shape3.png (Qt's own
    // dialog; a native one keeps what it shows).
    QLineEdit* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
    if (!edit) return;
    QString text = edit->text();
    for (const auto& other : request.filters) {
      if (other.pattern == pattern || other.pattern.rfind("*.", 0) != 0 ||
          other.pattern.find_first_of(";* ", 2) != std::string::npos)
        continue;
      const QString ending = Q(other.pattern.substr(1));
      if (text.endsWith(ending, Qt::CaseInsensitive)) {
        text.chop(ending.size());
        edit->setText(text + Q(pattern.substr(1)));
        break;
      }
    }
  });
  if (!request.directory.empty()) dialog.setDirectory(Q(request.directory));
  if (!request.initialName.empty()) dialog.selectFile(Q(request.initialName));
  if (!request.promptOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  if (request.chosenFilter) *request.chosenFilter = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
  QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  std::string name = chosen.front().toStdString();
  if (request.maxLength > 0 && name.size() > static_cast<size_t>(request.maxLength)) {
    QMessageBox::warning(OwnerWidget(request.owner), "QSH Editor",
                         "The file name is too long. Please choose a shorter name.");
    return std::nullopt;
  }
  return name;
}

std::optional<std::string> QtDialogs::AskOpenFileName(const FileDialogRequest& request) {
  return RunFileDialog(request, false);
}

std::optional<std::string> QtDialogs::AskSaveFileName(const FileDialogRequest& request) {
  return RunFileDialog(request, true);
}

namespace {

// "Software\Company\Product\Group\..." names a group of the product's
// settings; on Windows the registry path is used as it is.
struct SettingsPlace {
  QString organization, application, group;
};

SettingsPlace Place(const std::string& key) {
  QStringList parts = Q(key).split('\\', Qt::SkipEmptyParts);
  if (!parts.isEmpty() && parts.front().compare("Software", Qt::CaseInsensitive) == 0) parts.removeFirst();
  SettingsPlace p;
  if (!parts.isEmpty()) p.organization = parts.takeFirst();
  if (!parts.isEmpty()) p.application = parts.takeFirst();
  p.group = parts.join('/');
  return p;
}

std::unique_ptr<QSettings> Open(SettingsRoot root, const std::string& key) {
#ifdef _WIN32
  QString hive = root == SettingsRoot::LocalMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\";
  return std::make_unique<QSettings>(hive + Q(key), QSettings::NativeFormat);
#else
  SettingsPlace p = Place(key);
  auto scope = root == SettingsRoot::LocalMachine ? QSettings::SystemScope : QSettings::UserScope;
  auto s = std::make_unique<QSettings>(QSettings::NativeFormat, scope, p.organization, p.application);
  s->setFallbacksEnabled(false);
  if (!p.group.isEmpty()) s->beginGroup(p.group);
  return s;
#endif
}

}  // namespace

bool QtSettingsStore::HasKey(SettingsRoot root, const std::string& key) {
  auto s = Open(root, key);
  return !s->allKeys().isEmpty();
}

std::optional<std::string> QtSettingsStore::ReadText(SettingsRoot root, const std::string& key,
                                                     const std::string& name) {
  auto s = Open(root, key);
  QVariant v = s->value(Q(name));
  if (!v.isValid()) return std::nullopt;
  return v.toString().toStdString();
}

bool QtSettingsStore::WriteText(SettingsRoot root, const std::string& key, const std::string& name,
                                const std::string& value) {
  auto s = Open(root, key);
  s->setValue(Q(name), Q(value));
  s->sync();
  return s->status() == QSettings::NoError;
}

std::optional<std::string> QtSettingsStore::ReadPreference(const std::string& name) {
  if (!preferences_) return std::nullopt;
  const QVariant v = preferences_->value(Q(name));
  if (!v.isValid()) return std::nullopt;
  return v.toString().toStdString();
}

void QtSettingsStore::WritePreference(const std::string& name, const std::string& value) {
  if (preferences_) preferences_->setValue(Q(name), Q(value));
}

}  // namespace qshe::platform
