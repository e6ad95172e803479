#include "common/user_prompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <cstdio>

namespace scrivlet {

namespace {

// One "Description|*.a;*.b" pair of a filter string.
struct FileType {
    QString description;
    QStringList patterns;
};

QList<FileType> fileTypes(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QList<FileType> types;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        types.push_back({parts[i], parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)});
    return types;
}

QString nameFilter(const FileType& type)
{
    QStringList patterns = type.patterns;
    for (QString& p : patterns) {
        if (p == QLatin1String("*."))
            p = QStringLiteral("*");
    }
    return type.description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
           QLatin1Char(')');
}

// "png" for the patterns "*.png;*.PNG"; empty when the first pattern names no extension.
QString firstExtension(const FileType& type)
{
    const QString first = type.patterns.value(0);
    return first.startsWith(QLatin1String("*.")) ? first.mid(2) : QString();
}

// Widens a message box so that its title shows whole: the title bar is as wide as the box.
void fitTitle(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr)
        return;
    constexpr int kTitleBarButtons = 140; // the icon and the close button beside the title
    const int width = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar"))
                          .horizontalAdvance(box.windowTitle()) +
                      kTitleBarButtons;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

QString UserPrompts::saveFileNameTitled(QWidget* parent, const QString& filter, const QString&)
{
    return saveFileName(parent, filter);
}

UserPrompts::TypedFileName UserPrompts::saveFileNameOfType(QWidget* parent, const QString& filter)
{
    TypedFileName chosen{saveFileName(parent, filter), 0};
    const QString name = QFileInfo(chosen.path).fileName();
    const QList<FileType> types = fileTypes(filter);
    for (qsizetype i = 0; i < types.size(); ++i) {
        if (QDir::match(types[i].patterns, name)) {
            chosen.type = static_cast<int>(i);
            break;
        }
    }
    return chosen;
}

void DialogPrompts::message(QWidget* parent, const QString& title, const QString& text, Icon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    fitTitle(box);
    box.exec();
}

UserPrompts::SaveChoice DialogPrompts::askSaveChanges(QWidget* parent, const QString& title,
                                                      const QString& text)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(QMessageBox::Warning);
    QPushButton* save = box.addButton(QObject::tr("Save As..."), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QMessageBox::Discard);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(save);
    fitTitle(box);
    box.exec();
    if (box.clickedButton() == save)
        return SaveChoice::Save;
    if (box.clickedButton() == discard)
        return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

QString DialogPrompts::chosen(const QString& path)
{
    if (!path.isEmpty())
        m_folder = QFileInfo(path).absolutePath();
    return path;
}

QString DialogPrompts::openFileName(QWidget* parent, const QString& filter)
{
    if (m_folder.isEmpty())
        m_folder = QDir::homePath();
    return chosen(QFileDialog::getOpenFileName(parent, {}, m_folder, qtNameFilter(filter)));
}

QStringList UserPrompts::openFileNames(QWidget* parent, const QString& filter)
{
    const QString path = openFileName(parent, filter);
    return path.isEmpty() ? QStringList() : QStringList{path};
}

QString UserPrompts::folderName(QWidget*, const QString&, const QString&)
{
    return {};
}

QString DialogPrompts::folderName(QWidget* parent, const QString& title, const QString& start)
{
    return QFileDialog::getExistingDirectory(parent, title,
                                             start.isEmpty() ? QDir::homePath() : start);
}

QStringList DialogPrompts::openFileNames(QWidget* parent, const QString& filter)
{
    if (m_folder.isEmpty())
        m_folder = QDir::homePath();
    const QStringList paths =
        QFileDialog::getOpenFileNames(parent, {}, m_folder, qtNameFilter(filter));
    if (!paths.isEmpty())
        chosen(paths.front());
    return paths;
}

QString DialogPrompts::saveFileName(QWidget* parent, const QString& filter)
{
    return saveFileNameTitled(parent, filter, {});
}

QString DialogPrompts::saveFileNameTitled(QWidget* parent, const QString& filter,
                                          const QString& title)
{
    if (m_folder.isEmpty())
        m_folder = QDir::homePath();
    return chosen(QFileDialog::getSaveFileName(parent, title, m_folder, qtNameFilter(filter)));
}

UserPrompts::TypedFileName DialogPrompts::saveFileNameOfType(QWidget* parent, const QString& filter)
{
    const QList<FileType> types = fileTypes(filter);
    QStringList nameFilters;
    for (const FileType& type : types)
        nameFilters << nameFilter(type);
    if (types.isEmpty())
        return {saveFileName(parent, filter), 0};
    const auto typeOf = [&nameFilters](const QString& chosen) {
        return static_cast<int>(std::max<qsizetype>(nameFilters.indexOf(chosen), 0));
    };
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDirectory(m_folder.isEmpty() ? QDir::homePath() : m_folder);
    dialog.setNameFilters(nameFilters);
    dialog.setDefaultSuffix(firstExtension(types[0]));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &types, &typeOf](const QString& chosen) {
                         dialog.setDefaultSuffix(firstExtension(types[typeOf(chosen)]));
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {chosen(dialog.selectedFiles().constFirst()), typeOf(dialog.selectedNameFilter())};
}

void DialogPrompts::beep()
{
    QApplication::beep();
}

void ConsolePrompts::message(QWidget*, const QString& title, const QString& text, Icon)
{
    QString oneLine = text;
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(oneLine));
}

QString qtNameFilter(const QString& filter)
{
    const QList<FileType> types = fileTypes(filter);
    if (types.isEmpty())
        return filter;
    QStringList nameFilters;
    for (const FileType& type : types)
        nameFilters << nameFilter(type);
    return nameFilters.join(QStringLiteral(";;"));
}

} // namespace scrivlet
