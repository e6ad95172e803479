#include "app/encoding_menu.h"

#include "editor/source_editor.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace scrivlet {
namespace {

constexpr std::array kEncodings = {TextEncoding::Utf8, TextEncoding::Windows1252,
                                   TextEncoding::Calculator};
constexpr std::array kObjectNames = {"encodingUtf8", "encodingWindows1252", "encodingCalculator"};

} // namespace

EncodingMenu::EncodingMenu(SourceEditor& editor, QMenuBar& bar, QObject& parent)
    : QObject(&parent), m_editor(editor)
{
    m_menu = new QMenu(tr("Text Encoding"), &bar);
    m_menu->setObjectName(QStringLiteral("textEncoding"));
    m_indicator = new QMenu(&bar);
    m_indicator->setObjectName(QStringLiteral("encoding"));
    m_indicator->setToolTip(tr("How the open file's bytes are shown"));
    m_group = new QActionGroup(this);
    for (std::size_t i = 0; i < kEncodings.size(); ++i) {
        QAction* item = m_group->addAction(name(kEncodings[i]));
        item->setObjectName(QLatin1String(kObjectNames[i]));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this,
                [this, encoding = kEncodings[i]] { m_editor.setTextEncoding(encoding); });
        m_menu->addAction(item);
        m_indicator->addAction(item);
        m_items[i] = item;
    }
    connect(&editor, &SourceEditor::textEncodingChanged, this, &EncodingMenu::follow);
    follow(editor.textEncoding());
}

QString EncodingMenu::name(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return tr("UTF-8");
    case TextEncoding::Calculator:
        return tr("Calculator");
    case TextEncoding::Windows1252:
        break;
    }
    return tr("Windows-1252");
}

void EncodingMenu::follow(TextEncoding encoding)
{
    for (std::size_t i = 0; i < kEncodings.size(); ++i)
        m_items[i]->setChecked(kEncodings[i] == encoding);
    m_indicator->setTitle(name(encoding));
}

} // namespace scrivlet
