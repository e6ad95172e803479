#pragma once

#include "rpl/lexer.h"

#include <QString>
#include <array>
#include <memory>

class QSettings;

namespace scrivlet {

// The Options the program remembers between runs. Beep and Autoident are not among them: they
// start off and on at every start. Each option has a key, a default and a caption; the values
// live in "options.ini" (INI format) in the program's folder of the user's configuration
// folder, are read once at start and written at once on every change. A file that cannot be
// read gives the defaults; one that cannot be written keeps the value for this run.
enum class RememberedOption {
    LineNumbers,
    MarkUnknownNames,
    NamesInFileFirst,
    TabEndsWord,
    ShowProposalAtCaret,
    DitherPictures,
    CalculatorCharset,
};

struct RememberedOptionInfo {
    RememberedOption option;
    const char* key;
    const char* caption; // in the View menu (display only) or Options, below Beep and Autoident
    bool byDefault;
};

inline constexpr RememberedOptionInfo kRememberedOptions[] = {
    {RememberedOption::LineNumbers, "LineNumbers", "Line Numbers", true},
    {RememberedOption::MarkUnknownNames, "MarkUnknownNames", "Mark Unknown Names", false},
    {RememberedOption::NamesInFileFirst, "NamesInFileFirst", "Names in This File First", false},
    {RememberedOption::TabEndsWord, "TabEndsWord", "Tab Ends a Word", true},
    {RememberedOption::ShowProposalAtCaret, "ShowProposalAtCaret", "Show Proposal at Caret", true},
    {RememberedOption::DitherPictures, "DitherPictures", "Dither Pictures", false},
    {RememberedOption::CalculatorCharset, "CalculatorCharacterSet", "Calculator Character Set",
     false},
};

// How the calculator is reached: the serial port, its speed, the protocol and, for Kermit, the
// block check type proposed (1, 2 or 3).
inline constexpr std::array<int, 5> kConnectionSpeeds = {9600, 19200, 38400, 57600, 115200};

struct ConnectionSettings {
    QString port = QStringLiteral("/dev/ttyUSB0");
    int speed = 9600;
    bool xmodem = false;
    int checkType = 3;
};

class OptionsStore final {
  public:
    // `file` is the INI file; empty: the program's own file in the user's configuration
    // folder (none when the environment names no configuration folder: nothing is remembered).
    explicit OptionsStore(const QString& file = {});
    ~OptionsStore();
    OptionsStore(const OptionsStore&) = delete;
    OptionsStore& operator=(const OptionsStore&) = delete;

    bool value(RememberedOption option) const;
    void setValue(RememberedOption option, bool on);
    // How many pixels the reference panel was widened beyond its designed width (0 at first).
    int panelWidening() const;
    void setPanelWidening(int pixels);
    // The calculator connection; a value out of range reads as its default.
    ConnectionSettings connection() const;
    void setConnection(const ConnectionSettings& settings);
    // Build > Dialect: Unknown for Automatic (the default).
    RplDialect compileDialect() const;
    void setCompileDialect(RplDialect dialect);
    // Build > Include Folder; empty when none was chosen.
    QString includeFolder() const;
    void setIncludeFolder(const QString& folder);
    // The file the options are kept in; empty when there is none.
    QString fileName() const;

  private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace scrivlet
