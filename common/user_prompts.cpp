#include "common/user_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

namespace scrivlet {

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
    box.exec();
    if (box.clickedButton() == save)
        return SaveChoice::Save;
    if (box.clickedButton() == discard)
        return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

QString DialogPrompts::openFileName(QWidget* parent, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, {}, {}, qtNameFilter(filter));
}

QString DialogPrompts::saveFileName(QWidget* parent, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, {}, {}, qtNameFilter(filter));
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
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return filter;
    QStringList patterns = filter.mid(bar + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& p : patterns) {
        if (p == QLatin1String("*."))
            p = QStringLiteral("*");
    }
    return filter.left(bar) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
           QLatin1Char(')');
}

} // namespace scrivlet
