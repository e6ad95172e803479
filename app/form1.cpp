#include "app/form1.h"

#include "about/frm_about.h"
#include "app/calculator_menu.h"
#include "app/encoding_menu.h"
#include "app/layout_rule.h"
#include "app/menu_tables.h"
#include "app/panel_handle.h"
#include "app/typing_loop.h"
#include "app/window_placement.h"
#include "calculator/calculator_charset.h"
#include "common/application_icon.h"
#include "common/design_fonts.h"
#include "common/design_geometry.h"
#include "common/windows1252.h"
#include "editor/editor_buffer.h"
#include "editor/proposal_at_caret.h"
#include "editor/rpl_navigation.h"
#include "editor/search_panel.h"
#include "editor/source_editor.h"
#include "editor/word_count_tracker.h"
#include "files/build_commands.h"
#include "files/calculator_text_commands.h"
#include "files/file_commands.h"
#include "files/picture_commands.h"
#include "files/problem_pane.h"
#include "files/source_texts.h"
#include "reference/entry_list_model.h"
#include "reference/entry_list_view.h"
#include "reference/entry_names.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <vector>

namespace scrivlet {
namespace {

void fillWithWindowColour(QWidget* widget)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    widget->setPalette(palette);
}

// The reference book as the editor's RPL view asks it, read from the rows the list shows.
RplReference referenceBook(const EntryRecordset& rows)
{
    auto names = std::make_shared<const EntryNames>(rows);
    return {[names](std::string_view word) { return names->contains(word); },
            [names](std::string_view word) -> std::optional<EntryTip> {
                auto facts = names->facts(word);
                if (!facts)
                    return std::nullopt;
                return EntryTip{facts->name, facts->address, facts->description};
            }};
}

// The remembered options that change only what is shown: they sit in the View menu.
bool isDisplayOption(RememberedOption option)
{
    return option == RememberedOption::LineNumbers ||
           option == RememberedOption::MarkUnknownNames ||
           option == RememberedOption::CalculatorCharset;
}

} // namespace

Form1::Form1(StartOptions options)
    : m_prompts(options.prompts ? std::move(options.prompts) : std::make_unique<DialogPrompts>()),
      m_commandLine(std::move(options.commandLine)), m_optionsStore(options.optionsFile)
{
    setWindowTitle(FileCommands::caption({}));
    setWindowIcon(applicationIcon());
    createControls();
    createMenus();
    setTabOrder();

    // The entry data source opens with its design-time connection and query.
    m_entryModel = new EntryListModel(m_entries, this);
    m_entry->setModel(m_entryModel);
    connect(m_entryModel, &EntryListModel::currentRowChanged, this, &Form1::showAddress);
    connect(m_entryModel, &EntryListModel::usesWaitingChanged, this, [this](quint64 uses) {
        m_usesWaiting->setText(tr("Uses waiting: %1").arg(uses));
        m_usesWaiting->setVisible(uses > 0);
    });
    refreshEntries(m_entries.open(kDatabaseFileName));

    m_loop = new TypingLoop({*m_text, *m_buffer, *m_entry, *m_entryModel, *m_description, *m_pos,
                             *m_options[kBeepOption], *m_options[kAutoidentOption], *m_search},
                            *m_prompts, *this);
    m_loop->setPairStore(std::make_shared<PairStore>(kDatabaseFileName));
    auto* proposal = new ProposalAtCaret(*m_text);
    proposal->setOn(rememberedOption(RememberedOption::ShowProposalAtCaret));
    connect(m_entryModel, &EntryListModel::currentRowChanged, proposal, &ProposalAtCaret::withdraw);
    connect(m_loop, &TypingLoop::proposed, proposal, &ProposalAtCaret::propose);
    connect(this, &Form1::optionChanged, proposal, [proposal](RememberedOption option, bool on) {
        if (option == RememberedOption::ShowProposalAtCaret)
            proposal->setOn(on);
    });
    m_files = new FileCommands(*this, *m_buffer, *m_prompts);
    connect(m_text, &SourceEditor::textEncodingChanged, this, &Form1::followEncoding);
    followEncoding(m_text->textEncoding());
    showCalculatorCharset(rememberedOption(RememberedOption::CalculatorCharset));
    connect(this, &Form1::optionChanged, this, [this](RememberedOption option, bool on) {
        if (option == RememberedOption::CalculatorCharset)
            showCalculatorCharset(on);
    });
    m_pictures = new PictureCommands(*this, *m_buffer, *m_prompts, *m_files);
    m_files->setDitherPictures(rememberedOption(RememberedOption::DitherPictures));
    m_build = new BuildCommands(*this, *m_buffer, *m_prompts, *m_files, *m_problems,
                                kDatabaseFileName);
    m_build->addMenu(*menuBar(), m_about);
    m_build->setDialect(m_optionsStore.compileDialect());
    m_build->setIncludeFolder(m_optionsStore.includeFolder());
    connect(m_build, &BuildCommands::includeFolderChosen, this,
            [this](const QString& folder) { m_optionsStore.setIncludeFolder(folder); });
    connect(m_build, &BuildCommands::dialectChosen, this,
            [this](RplDialect dialect) { m_optionsStore.setCompileDialect(dialect); });
    auto* calculator =
        new CalculatorMenu(*this, *m_buffer, *m_prompts, *m_files, *m_build, m_optionsStore);
    calculator->addMenu(*menuBar(), m_about);
    connect(this, &Form1::optionChanged, m_files, [this](RememberedOption option, bool on) {
        if (option == RememberedOption::DitherPictures)
            m_files->setDitherPictures(on);
    });

    // "Names in This File First": the lookup weighs the words of the open text.
    auto* textWords = new WordCountTracker(*m_text);
    const auto namesInFileFirst = [this, textWords](bool on) {
        textWords->setOn(on);
        m_loop->setTextWords(on ? &textWords->counts() : nullptr);
    };
    namesInFileFirst(rememberedOption(RememberedOption::NamesInFileFirst));
    connect(this, &Form1::optionChanged, textWords,
            [namesInFileFirst](RememberedOption option, bool on) {
                if (option == RememberedOption::NamesInFileFirst)
                    namesInFileFirst(on);
            });
    const auto tabEndsWord = [this](bool on) {
        m_loop->setTabInWord(on ? TabInWord::EndsWord : TabInWord::Belongs);
    };
    tabEndsWord(rememberedOption(RememberedOption::TabEndsWord));
    connect(this, &Form1::optionChanged, this, [tabEndsWord](RememberedOption option, bool on) {
        if (option == RememberedOption::TabEndsWord)
            tabEndsWord(on);
    });

    Form_Load();
}

Form1::~Form1() = default;

void Form1::createControls()
{
    m_client = named(new QWidget(this), "client");
    setCentralWidget(m_client);
    m_client->installEventFilter(this);

    m_text = named(new SourceEditor(m_client), "text");
    m_text->setGeometry(13, 6, 255, 101);
    m_text->setFont(lucidaConsole(12));
    m_buffer = std::make_unique<EditorBuffer>(*m_text);
    m_problems = new ProblemPane(m_client);
    m_buffer->setText(kStartupText);
    m_rpl = new RplNavigation(*m_text);
    m_rpl->setMarkUnknownNames(rememberedOption(RememberedOption::MarkUnknownNames));
    m_text->setLineNumbersVisible(rememberedOption(RememberedOption::LineNumbers));
    connect(this, &Form1::optionChanged, this, [this](RememberedOption option, bool on) {
        if (option == RememberedOption::LineNumbers)
            m_text->setLineNumbersVisible(on);
        else if (option == RememberedOption::MarkUnknownNames && m_rpl)
            m_rpl->setMarkUnknownNames(on);
    });

    m_desc = named(new QGroupBox(tr("Mnemonic Reference"), m_client), "desc");
    m_desc->setGeometry(303, -2, 192, 523);
    m_desc->setFont(msSansSerif(9.75, true));

    m_search = new SearchPanel(*m_buffer, *m_prompts, m_desc);
    m_search->setGeometry(twipsRect(0, 30, 2880, 1740));

    const std::array<std::pair<const char*, QRect>, 4> buttons = {{
        {QT_TRANSLATE_NOOP("Form1", "ABC"), twipsRect(90, 1800, 720, 285)},
        {QT_TRANSLATE_NOOP("Form1", "Usage"), twipsRect(1530, 1800, 810, 285)},
        {QT_TRANSLATE_NOOP("Form1", "Addr"), twipsRect(810, 1800, 720, 285)},
        {QT_TRANSLATE_NOOP("Form1", "V"), twipsRect(2340, 1800, 450, 285)},
    }};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        auto* button = new QPushButton(tr(buttons[i].first), m_desc);
        button->setObjectName(QStringLiteral("Command%1").arg(i + 1));
        button->setGeometry(buttons[i].second);
        button->setFont(msSansSerif(8.25, true));
        m_sortButtons[i] = button;
    }
    connect(m_sortButtons[0], &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(m_sortButtons[1], &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(m_sortButtons[2], &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(m_sortButtons[3], &QPushButton::clicked, this, &Form1::Command4_Click);

    m_entry = named(new EntryListView(m_desc), "entry");
    m_entry->setGeometry(twipsRect(90, 2085, 2700, 5520));
    m_entry->setFont(lucidaConsole(9.75));
    m_entry->setUniformItemSizes(true);
    m_entry->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_entry->setSelectionMode(QAbstractItemView::SingleSelection);

    m_description = named(new QLabel(m_desc), "description");
    m_description->setGeometry(twipsRect(75, 270, 2715, 1140));
    m_description->setFont(msSansSerif(8.25));
    m_description->setWordWrap(true);
    m_description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    fillWithWindowColour(m_description);

    m_addr = named(new QLabel(tr("IDENTIFIED ENTRY"), m_desc), "addr");
    m_addr->setGeometry(twipsRect(1350, 1395, 1440, 255));
    // Addresses fit at the design's size; the placeholder is condensed to fit.
    m_addr->setFont(condensedToFit(msSansSerif(9.75, true), m_addr->text(), m_addr->width()));
    fillWithWindowColour(m_addr);

    m_label1 = named(new QLabel(tr("ADDR (hex)"), m_desc), "Label1");
    m_label1->setGeometry(twipsRect(75, 1395, 2190, 270));
    m_label1->setFont(msSansSerif(9.75, true));

    // The handle on the panel's left edge widens it; the width is remembered.
    m_panelHandle = named(new PanelHandle(m_client), "panelSplitter");
    m_panelWidening = m_optionsStore.panelWidening();
    connect(m_panelHandle, &PanelHandle::dragged, this, [this](int dx) {
        m_panelWidening = std::max(0, std::min(m_panelWidening, panelRoom()) - dx);
        Form_Resize();
    });
    connect(m_panelHandle, &PanelHandle::released, this,
            [this] { m_optionsStore.setPanelWidening(std::min(m_panelWidening, panelRoom())); });

    // The address row lies over its caption; the search frame, when shown, lies over both.
    m_addr->raise();
    m_search->raise();
}

void Form1::createMenus()
{
    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);
    QMenu* file = bar->addMenu(tr(kMainMenu[0].caption));
    QMenu* edit = bar->addMenu(tr(kMainMenu[1].caption));
    // What changes only the display sits in View, between Edit and Options.
    QMenu* view = named(bar->addMenu(tr("View")), "view");
    const std::array<QMenu*, 3> menus = {file, edit, bar->addMenu(tr(kMainMenu[2].caption))};
    menus[0]->setObjectName(QStringLiteral("main1"));
    menus[1]->setObjectName(QStringLiteral("main2"));
    menus[2]->setObjectName(QStringLiteral("main3"));

    for (const MenuEntry& item : kFileMenu) {
        if (QLatin1String(item.caption) == QLatin1String("-")) {
            m_file[item.index] = menus[0]->addSeparator();
            continue;
        }
        QAction* action = menus[0]->addAction(tr(item.caption));
        m_file[item.index] = action;
        connect(action, &QAction::triggered, this, [this, index = item.index] { file_Click(index); });
    }
    for (const MenuEntry& item : kEditMenu) {
        QAction* action = menus[1]->addAction(tr(item.caption));
        m_edit[item.index] = action;
        connect(action, &QAction::triggered, this, [this, index = item.index] { edit_Click(index); });
    }
    // File > Save, before Save As: to the open file's name, through the same writer.
    QAction* save = named(new QAction(tr("Save"), this), "save");
    save->setShortcut(QKeySequence::Save);
    menus[0]->insertAction(m_file[3], save);
    connect(save, &QAction::triggered, this, [this] { m_files->save(); });
    addEditingItems(*menus[1]);
    // The calculator's characters: saved with escapes after Save As, converted below Replace.
    m_calculatorText = new CalculatorTextCommands(*this, *m_buffer, *m_prompts);
    m_calculatorText->addMenuActions(*menus[0], m_file[4], *menus[1]);
    // Pictures: Import after Save As, Export below Replace.
    QAction* importPicture = named(new QAction(tr("Import Picture..."), this), "importPicture");
    menus[0]->insertAction(m_file[4], importPicture);
    connect(importPicture, &QAction::triggered, this, [this] { m_pictures->importPicture(); });
    menus[1]->addSeparator();
    QAction* exportGrob = named(menus[1]->addAction(tr("Export GROB...")), "exportGrob");
    connect(exportGrob, &QAction::triggered, this, [this] { m_pictures->exportGrob(); });
    // Each Options item flips only its own check mark; the editor reads the marks when it runs.
    for (const MenuEntry& item : kOptionsMenu) {
        QAction* action = menus[2]->addAction(tr(item.caption));
        action->setCheckable(true);
        action->setChecked(item.index == kAutoidentOption);
        m_options[item.index] = action;
    }
    // The Options remembered between runs follow, each written as soon as it flips.
    menus[2]->addSeparator();
    for (std::size_t i = 0; i < m_remembered.size(); ++i) {
        const RememberedOptionInfo& info = kRememberedOptions[i];
        QAction* action =
            (isDisplayOption(info.option) ? view : menus[2])->addAction(tr(info.caption));
        action->setObjectName(QLatin1String(info.key));
        action->setCheckable(true);
        action->setChecked(m_optionsStore.value(info.option));
        connect(action, &QAction::toggled, this, [this, option = info.option](bool on) {
            m_optionsStore.setValue(option, on);
            emit optionChanged(option, on);
        });
        m_remembered[i] = action;
    }
    m_about = bar->addAction(tr(kAboutItem.caption));
    connect(m_about, &QAction::triggered, this, [this] { about_Click(kAboutItem.index); });
    // The caret read-out: an item of the bar that does nothing when clicked.
    m_pos = bar->addAction(tr(kPosItem.caption));
    // The open file's encoding, beside the read-out; also chosen in View.
    auto* encodings = new EncodingMenu(*m_text, *bar, *this);
    bar->addMenu(encodings->indicator());
    view->addSeparator();
    view->addMenu(encodings->menu());
    // Counted uses kept while the database is busy; shown only while there are some.
    m_usesWaiting = bar->addAction(QString());
    m_usesWaiting->setVisible(false);

    for (std::size_t i = 1; i < m_file.size(); ++i)
        m_file[i]->setObjectName(QStringLiteral("file%1").arg(i));
    for (std::size_t i = 1; i < m_edit.size(); ++i)
        m_edit[i]->setObjectName(QStringLiteral("edit%1").arg(i));
    for (std::size_t i = 1; i < m_options.size(); ++i)
        m_options[i]->setObjectName(QStringLiteral("options%1").arg(i));
    m_about->setObjectName(QStringLiteral("about4"));
    m_pos->setObjectName(QStringLiteral("pos5"));
    m_usesWaiting->setObjectName(QStringLiteral("usesWaiting"));

    // A menu closed with Esc leaves the bar holding the keyboard, waiting for a second Esc; the
    // focus goes back at once to where it was when the menu opened.
    for (QAction* item : bar->actions()) {
        QMenu* menu = item->menu();
        if (menu == nullptr)
            continue;
        connect(menu, &QMenu::aboutToShow, this, [this] {
            if (QWidget* focus = QApplication::focusWidget();
                focus && focus != menuBar() && focus->window() == this)
                m_focusBeforeMenu = focus;
        });
        connect(menu, &QMenu::aboutToHide, this, [this] {
            QTimer::singleShot(0, this, [this] {
                QMenuBar* holder = menuBar();
                if (QApplication::activePopupWidget() != nullptr || !holder->hasFocus())
                    return;
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(holder, &escape);
                if (m_focusBeforeMenu)
                    m_focusBeforeMenu->setFocus(Qt::MenuBarFocusReason);
            });
        });
    }
}

void Form1::addEditingItems(QMenu& edit)
{
    // Keys the editor and the RPL view handle themselves are only shown beside their items,
    // so that they keep reaching the editor first (F3 acts on its release).
    const auto showKey = [](QAction* item, const QKeySequence& key) {
        item->setShortcut(key);
        item->setShortcutContext(Qt::WidgetShortcut);
    };
    showKey(m_edit[1], QKeySequence(Qt::Key_F3));
    edit.addSeparator();
    const auto add = [&](const char* name, const QString& caption, QKeySequence::StandardKey key,
                         void (SourceEditor::*run)()) {
        QAction* item = named(edit.addAction(caption), name);
        showKey(item, QKeySequence(key));
        connect(item, &QAction::triggered, m_text, run);
    };
    add("undo", tr("Undo"), QKeySequence::Undo, &SourceEditor::undo);
    add("redo", tr("Redo"), QKeySequence::Redo, &SourceEditor::redo);
    edit.addSeparator();
    add("cut", tr("Cut"), QKeySequence::Cut, &SourceEditor::cut);
    add("copy", tr("Copy"), QKeySequence::Copy, &SourceEditor::copy);
    add("paste", tr("Paste"), QKeySequence::Paste, &SourceEditor::paste);
    add("selectAll", tr("Select All"), QKeySequence::SelectAll, &SourceEditor::selectAll);
    edit.addSeparator();
    QAction* definition = named(edit.addAction(tr("Go to Definition")), "goToDefinition");
    showKey(definition, QKeySequence(Qt::Key_F12));
    connect(definition, &QAction::triggered, this, [this] {
        if (m_rpl)
            m_rpl->jumpToDefinition(m_text->caret());
    });
    QAction* partner = named(edit.addAction(tr("Go to Matching Pair")), "goToMatchingPair");
    showKey(partner, QKeySequence(Qt::CTRL | Qt::Key_BracketRight));
    connect(partner, &QAction::triggered, this, [this] {
        if (m_rpl)
            m_rpl->jumpToPartner();
    });
    edit.addSeparator();
}

void Form1::setTabOrder()
{
    // Labels and frames hold places in the designed order but never take the focus; the chain
    // runs through the controls that do.
    std::vector<QWidget*> order = {m_entry, m_sortButtons[0], m_sortButtons[1],
                                   m_text,  m_sortButtons[2], m_sortButtons[3]};
    for (QWidget* control : m_search->tabOrder())
        order.push_back(control);
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void Form1::Form_Load()
{
    m_startdir = QDir::currentPath();
    loadposition(*this);
    m_activated = false;
}

bool Form1::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QMainWindow::event(event);
}

void Form1::Form_Activate()
{
    // Only the first activation does anything.
    if (m_activated)
        return;
    m_loop->firstActivation();
    m_activated = true;
    if (!m_commandLine.isEmpty())
        m_files->openCommandLineFile(m_commandLine);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

int Form1::panelRoom() const
{
    // The editor keeps at least this much when the panel is widened.
    constexpr int kNarrowestText = 120;
    const LayoutDesign design;
    return std::max(0, m_client->width() - design.descWidth - design.textLeft - kNarrowestText);
}

void Form1::Form_Resize()
{
    // The panel's designed width, and what the handle added to it as far as the window allows.
    static const int kEntryWidth = twipsRect(0, 0, 2700, 0).width();
    static const int kDescriptionWidth = twipsRect(0, 0, 2715, 0).width();
    LayoutDesign design;
    const int widening = std::min(m_panelWidening, panelRoom());
    design.descWidth += widening;
    const PanelLayout layout = layoutFor(m_client->width(), m_client->height(), design);
    m_problems->placeUnder(*m_text, layout.textWidth, layout.textHeight);
    m_desc->setGeometry(layout.descLeft, m_desc->y(), design.descWidth, layout.descHeight);
    m_entry->resize(kEntryWidth + widening, layout.entryHeight);
    m_description->resize(kDescriptionWidth + widening, m_description->height());
    constexpr int kHandleWidth = 4;
    m_panelHandle->setGeometry(layout.descLeft, 0, kHandleWidth, m_client->height());
    m_panelHandle->raise();
}

void Form1::closeEvent(QCloseEvent* event)
{
    // Exit and the close box both come here; changed text is not dropped without a question.
    if (!m_files->confirmDiscard()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void Form1::Form_Unload()
{
    saveposition(*this);
    const QString lost = EntryListModel::usesNotCountedMessage(m_entries.flushWaitingUses(),
                                                               m_entries.openedPath());
    if (!lost.isEmpty()) {
        m_prompts->message(this, tr("Vantor Scrivlet Database"), lost, UserPrompts::Icon::Warning);
        m_entries.discardWaitingUses();
    }
}

bool Form1::beepOption() const
{
    return m_options[kBeepOption]->isChecked();
}

bool Form1::rememberedOption(RememberedOption option) const
{
    return m_optionsStore.value(option);
}

void Form1::setRememberedOption(RememberedOption option, bool on)
{
    for (std::size_t i = 0; i < m_remembered.size(); ++i) {
        if (kRememberedOptions[i].option == option)
            m_remembered[i]->setChecked(on);
    }
}

bool Form1::autoidentOption() const
{
    return m_options[kAutoidentOption]->isChecked();
}

QString Form1::positionReadout() const
{
    return m_pos->text();
}

void Form1::file_Click(int index)
{
    switch (index) {
    case 1: m_files->newFile(); break;
    case 2: m_files->openFile(); break;
    case 3: m_files->saveAs(); break;
    case 5: close(); break;
    default: break;
    }
}

void Form1::edit_Click(int)
{
    // Search and Replace both open the search frame.
    m_search->showFrame();
}

void Form1::about_Click(int)
{
    showAbout(*this, *m_prompts);
}

void Form1::refreshEntries(const RefreshResult& result)
{
    m_entryModel->refill();
    if (m_rpl)
        m_rpl->setReference(referenceBook(m_entries.recordset()));
    const QString message = EntryListModel::refreshMessage(result);
    if (!message.isEmpty())
        m_prompts->message(this, tr("Vantor Scrivlet Database"), message, UserPrompts::Icon::Warning);
}

void Form1::sortBy(SortOrder order)
{
    refreshEntries(m_entries.sortBy(order, m_startdir.toStdString() + "/" + kDatabaseFileName));
}

void Form1::Command1_Click()
{
    sortBy(SortOrder::Abc);
}

void Form1::Command2_Click()
{
    sortBy(SortOrder::Usage);
}

void Form1::Command3_Click()
{
    sortBy(SortOrder::Addr);
}

void Form1::Command4_Click()
{
    sortBy(SortOrder::V);
}

void Form1::showCalculatorCharset(bool on)
{
    // The usual encoding, for the open text and the files to come.
    const TextEncoding usual = on ? TextEncoding::Calculator : TextEncoding::Windows1252;
    m_files->setUsualEncoding(usual);
    m_text->setTextEncoding(usual);
}

void Form1::followEncoding(TextEncoding encoding)
{
    // Entry names are single bytes: the list shows them in the calculator's set or in 1252.
    m_entryModel->setCodePage(encoding == TextEncoding::Calculator ? calculatorCodePage()
                                                                   : windows1252CodePage());
}

void Form1::showAddress()
{
    // The address label follows the current row, and is empty when there is none; an empty
    // reference leaves it its caption.
    const EntryRecordset& rs = m_entries.recordset();
    if (rs.rowCount() > 0)
        m_addr->setText(rs.eof() ? QString() : m_entryModel->currentField("addr"));
}

} // namespace scrivlet
