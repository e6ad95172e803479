#include "files/picture_commands.h"

#include "common/file_io.h"
#include "common/user_prompts.h"
#include "editor/editor_buffer.h"
#include "editor/source_editor.h"
#include "files/busy_cursor.h"
#include "files/file_commands.h"
#include "files/grob_picture.h"
#include "calculator/grob_span.h"
#include "files/picture_file.h"

#include <QBuffer>
#include <QEvent>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>
#include <algorithm>

namespace scrivlet {

namespace {

const char* const kImportFilter = QT_TRANSLATE_NOOP(
    "PictureCommands", "Pictures|*.png;*.bmp;*.gif;*.jpg;*.jpeg;*.pbm;*.pgm;*.ppm;*.xbm");
const char* const kExportFilter =
    QT_TRANSLATE_NOOP("PictureCommands", "GROB File|*.gro|PNG Picture|*.png");
constexpr int kPngType = 1; // the index of "PNG Picture" in kExportFilter

// A tip's picture fits here: a 131×80 screen is shown four times its size.
constexpr QSize kTipRoom(640, 480);
// How far from a position a GROB's words are looked for: further than the longest GROB.
constexpr std::int64_t kGrobReach = kGrobMaxDataNibbles + 64;

// The tip for a well-formed GROB: its picture, then its size.
QString tipText(const GrobObject& grob)
{
    const QString size = PictureCommands::tr("%1 × %2 pixels").arg(grob.width).arg(grob.height);
    QImage preview =
        grobPreview(grob, grobPreviewZoom(QSize(int(grob.width), int(grob.height)), kTipRoom));
    if (preview.width() > kTipRoom.width() || preview.height() > kTipRoom.height())
        preview = preview.scaled(kTipRoom, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (preview.isNull()) // no pixels, or a line too thin to keep when made smaller
        return size;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    preview.save(&buffer, "PNG");
    return QStringLiteral("<img src=\"data:image/png;base64,%1\"><br>%2")
        .arg(QString::fromLatin1(png.toBase64()), size);
}

} // namespace

PictureCommands::PictureCommands(QWidget& window, EditorBuffer& buffer, UserPrompts& prompts,
                                 const FileCommands& files)
    : QObject(&window), m_window(window), m_buffer(buffer), m_edit(buffer.widget()),
      m_prompts(prompts), m_files(files)
{
    m_caretTip = new QLabel(&m_edit, Qt::ToolTip);
    m_caretTip->setObjectName(QStringLiteral("grobCaretTip"));
    m_caretTip->setPalette(QToolTip::palette());
    m_caretTip->setFont(QToolTip::font());
    m_caretTip->setForegroundRole(QPalette::ToolTipText);
    m_caretTip->setBackgroundRole(QPalette::ToolTipBase);
    m_caretTip->setAutoFillBackground(true);
    m_caretTip->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_caretTip->setMargin(3);
    m_caretTip->setTextFormat(Qt::RichText);

    m_followCaret.setSingleShot(true);
    m_followCaret.setInterval(0);
    connect(&m_followCaret, &QTimer::timeout, this, &PictureCommands::followCaret);
    connect(&m_edit, &SourceEditor::selectionChanged, &m_followCaret, qOverload<>(&QTimer::start));
    connect(&m_edit, &SourceEditor::changed, this, [this] {
        m_textChanged = true;
        m_followCaret.start();
    });
    connect(m_edit.verticalScrollBar(), &QScrollBar::valueChanged, this,
            &PictureCommands::hideCaretTip);
    connect(m_edit.horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &PictureCommands::hideCaretTip);
    m_edit.viewport()->installEventFilter(this);
    m_edit.installEventFilter(this);
    m_window.installEventFilter(this);
}

PictureCommands::~PictureCommands() = default;

void PictureCommands::tell(const QString& title, const QString& text)
{
    m_prompts.message(&m_window, title, text, UserPrompts::Icon::Warning);
}

std::optional<PictureCommands::GrobAt> PictureCommands::grobAt(std::int64_t offset) const
{
    const TextModel& text = m_edit.model();
    const std::int64_t line = text.lineOf(offset);
    const std::int64_t from = std::max(text.lineStart(line), offset - kGrobReach);
    const std::int64_t to = std::min(text.lineEnd(line), offset + kGrobReach);
    std::string scratch;
    const std::string_view piece = text.view(from, to, scratch);
    const auto span = grobSpanAt(piece, static_cast<std::size_t>(offset - from));
    if (!span)
        return std::nullopt;
    return GrobAt{from + std::int64_t(span->begin), from + std::int64_t(span->end),
                  parseGrobText(piece.substr(span->begin, span->end - span->begin))};
}

void PictureCommands::importPicture()
{
    const QString title = tr("Vantor Scrivlet Import Picture");
    const QString path = m_prompts.openFileName(&m_window, tr(kImportFilter));
    if (path.isEmpty())
        return;
    PictureLine picture;
    {
        BusyCursor busy;
        picture = pictureFileLine(path, m_files.pictureRule());
    }
    if (!picture.ok()) {
        tell(title, tr("Nothing was inserted.\n%1").arg(picture.problem));
        return;
    }
    m_buffer.setSelText(picture.line);
    m_buffer.setFocus();
}

void PictureCommands::exportGrob()
{
    const QString title = tr("Vantor Scrivlet Export GROB");
    const std::optional<GrobAt> grob = grobAt(m_edit.caret());
    if (!grob) {
        tell(title, tr("There is no GROB at the caret. Put the caret on the words "
                       "“GROB width height data” to export them."));
        return;
    }
    if (!grob->parse.ok()) {
        tell(title, tr("The GROB at the caret cannot be exported:\n%1")
                        .arg(QString::fromStdString(grob->parse.problem)));
        return;
    }
    const GrobObject& object = *grob->parse.grob;
    const UserPrompts::TypedFileName target =
        m_prompts.saveFileNameOfType(&m_window, tr(kExportFilter));
    if (target.path.isEmpty())
        return;
    const std::string bytes =
        target.type == kPngType ? grobPngBytes(object) : grobFileBytes(object);
    if (bytes.empty()) {
        tell(title, tr("A GROB of %1 × %2 pixels has no picture to write:\n%3")
                        .arg(object.width)
                        .arg(object.height)
                        .arg(target.path));
        return;
    }
    const FileWriteResult written =
        writeFileAtomically(QFile::encodeName(target.path).toStdString(), bytes);
    if (!written.ok)
        tell(title, tr("The file could not be written:\n%1\n%2")
                        .arg(target.path, QString::fromStdString(written.reason)));
}

bool PictureCommands::showMouseTip(const QPoint& viewportPos, const QPoint& globalPos)
{
    const std::optional<std::int64_t> offset = m_edit.offsetAt(viewportPos);
    const std::optional<GrobAt> grob = offset ? grobAt(*offset) : std::nullopt;
    if (!grob)
        return false;
    const QRect words = m_edit.rectForOffset(grob->begin).united(m_edit.rectForOffset(grob->end));
    const QString text =
        grob->parse.ok()
            ? tipText(*grob->parse.grob)
            : Qt::convertFromPlainText(tr("This GROB cannot be shown: %1")
                                           .arg(QString::fromStdString(grob->parse.problem)));
    QToolTip::showText(globalPos, text, m_edit.viewport(), words);
    return true;
}

void PictureCommands::followCaret()
{
    if (!m_caretTip)
        return;
    const std::int64_t caret = m_edit.caret();
    const bool textChanged = std::exchange(m_textChanged, false);
    if (!textChanged && m_caretGrob && caret >= m_caretGrob->first && caret <= m_caretGrob->second)
        return;
    const std::optional<GrobAt> grob = grobAt(caret);
    if (!grob || !grob->parse.ok()) {
        m_caretGrob.reset();
        hideCaretTip();
        return;
    }
    const bool entering = !m_caretGrob || m_caretGrob->first != grob->begin;
    m_caretGrob.emplace(grob->begin, grob->end);
    m_caretTip->setText(tipText(*grob->parse.grob));
    m_caretTip->adjustSize();
    if (entering)
        showCaretTip();
}

void PictureCommands::showCaretTip()
{
    if (!m_edit.isVisible())
        return;
    QWidget* viewport = m_edit.viewport();
    const QRect caret = m_edit.cursorRect();
    const QSize size = m_caretTip->sizeHint();
    QPoint at = viewport->mapToGlobal(caret.bottomLeft() + QPoint(0, 4));
    if (const QScreen* screen = m_edit.screen()) {
        const QRect room = screen->availableGeometry();
        if (at.y() + size.height() > room.bottom())
            at.setY(viewport->mapToGlobal(caret.topLeft()).y() - size.height() - 4);
        at.setX(
            std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - size.width())));
    }
    m_caretTip->move(at);
    m_caretTip->show();
}

void PictureCommands::hideCaretTip()
{
    if (m_caretTip)
        m_caretTip->hide();
}

bool PictureCommands::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ToolTip:
        if (watched == m_edit.viewport()) {
            const auto* help = static_cast<QHelpEvent*>(event);
            if (showMouseTip(help->pos(), help->globalPos()))
                return true;
        }
        break;
    case QEvent::FocusOut:
    case QEvent::Move:
    case QEvent::Hide:
        if (watched == &m_edit || watched == &m_window)
            hideCaretTip();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace scrivlet
