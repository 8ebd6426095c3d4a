// The manual formatting commands: lines such as ^B*, ^FC=Navy+, ^S=24* or
// ^ALL~ that push and drop levels of the attribute stacks.
#include "EnhancedRichEdit.h"

#include "Dialogs.h"
#include "TextParsers.h"

#include <QLatin1String>

namespace {

enum TSetCommand {
    scNone,
    scU,
    scI,
    scB,
    scF,
    scS,
    scZ,
    scCS,
    scBC,
    scFC,
    scEC,
    scSEC,
    scAL,
    scAR,
    scAC,
    scAJ,
    scLPI,
    scRPI,
    scFLI,
    scLS,
    scPS_T,
    scPS_H,
    scPS_N,
    scPCS_HL,
    scPCS_LS,
    scPCS_LL,
    scCAD,
};

struct TNamed {
    const char *Name;
    int Code;
};

const TNamed SetCommands[] = {
    {"U", scU},       {"I", scI},       {"B", scB},           {"F", scF},           {"S", scS},
    {"Z", scZ},       {"CS", scCS},     {"BC", scBC},         {"FC", scFC},         {"EC", scEC},
    {"SEC", scSEC},   {"AL", scAL},     {"AR", scAR},         {"AC", scAC},         {"AJ", scAJ},
    {"LPI", scLPI},   {"RPI", scRPI},   {"FLI", scFLI},       {"LS", scLS},         {"PS_T", scPS_T},
    {"PS_H", scPS_H}, {"PS_N", scPS_N}, {"PCS_HL", scPCS_HL}, {"PCS_LS", scPCS_LS}, {"PCS_LL", scPCS_LL},
    {"CAD", scCAD},
};

// The stacks each name of the "/" and "~" commands acts on (-1 ends a list).
struct TStackGroup {
    const char *Name;
    int Stacks[16];
};

const TStackGroup StackGroups[] = {
    {"ALL",
     {atUnderline, atItalic, atBold, atFontName, atSize, atCharSpacing, atBackColor, atForeColor, atEmphasisColor,
      atSecondEmphasisColor, atAlignment, atLeftIndent, atRightIndent, atFirstLineIndent, atLineSpacing, -1}},
    {"U", {atUnderline, -1}},
    {"I", {atItalic, -1}},
    {"B", {atBold, -1}},
    {"F", {atFontName, -1}},
    {"S", {atSize, -1}},
    {"CS", {atCharSpacing, -1}},
    {"BC", {atBackColor, -1}},
    {"FC", {atForeColor, -1}},
    {"EC", {atEmphasisColor, -1}},
    {"SEC", {atSecondEmphasisColor, -1}},
    {"A", {atAlignment, -1}},
    {"LPI", {atLeftIndent, -1}},
    {"RPI", {atRightIndent, -1}},
    {"FLI", {atFirstLineIndent, -1}},
    {"LS", {atLineSpacing, -1}},
    {"PS_T", {atUnderline, atBold, atSize, atAlignment, atLeftIndent, atFirstLineIndent, -1}},
    {"PS_H", {atUnderline, atBold, atSize, -1}},
    {"PS_N", {atItalic, atSize, -1}},
    {"PCS", {atBackColor, atForeColor, atEmphasisColor, atSecondEmphasisColor, -1}},
};

int32_t ColorValue(const QString &value)
{
    return static_cast<int32_t>(TextToColor(value)); // throws on an unreadable colour
}

} // namespace

void TEnhancedRichEdit::ExecuteCommandLine(const QString &line)
{
    CommandsUsed = true;
    CommandValue.clear();
    const qsizetype e = line.indexOf(QLatin1Char('='));
    qsizetype b = -1;
    QChar mode;
    for (const char end : {'+', '*', '/', '~'}) {
        b = line.indexOf(QLatin1Char(end));
        if (b >= 0) {
            mode = QLatin1Char(end);
            break;
        }
    }
    if (b < 0) {
        WarningDialog(QStringLiteral("Missing end character: ") + line);
        if (e < 0)
            return;
        // The name is still taken; without a mode it is never recognised.
        CommandMode = QChar();
        CommandName = line.mid(1, e - 1);
    } else {
        CommandMode = mode;
        if (e < 0) {
            CommandName = line.mid(1, b - 1);
        } else {
            CommandName = line.mid(1, e - 1);
            if (b > e)
                CommandValue = line.mid(e + 1, b - e - 1);
        }
    }
    if (!CommandName.isEmpty())
        ExecuteCommand(CommandName, CommandValue, CommandMode);
}

void TEnhancedRichEdit::ExecuteCommand(const QString &name, const QString &value, QChar mode)
{
    const QString upperName = name.toUpper();
    const char m = mode.toLatin1();
    bool done = false;
    if (m == '*' || m == '+')
        done = ExecuteSetCommand(upperName, value, m);
    else if (m == '/' || m == '~')
        done = ExecuteBaseOrUndoCommand(upperName, m);
    if (!done)
        WarningDialog(QStringLiteral("Unrecognized command: ") + name);
}

bool TEnhancedRichEdit::ExecuteSetCommand(const QString &upperName, const QString &value, char mode)
{
    int code = scNone;
    for (const TNamed &command : SetCommands) {
        if (upperName == QLatin1String(command.Name)) {
            code = command.Code;
            break;
        }
    }
    const int baseSize = Base(atSize);
    switch (code) {
    case scU: Push(atUnderline, 1, mode); break;
    case scI: Push(atItalic, 1, mode); break;
    case scB: Push(atBold, 1, mode); break;
    case scF: PushFontName(value, mode); break;
    case scS: Push(atSize, GetIntFromText(value, 8, 50, 16), mode); break;
    case scZ: Push(atSize, baseSize * GetIntFromText(value, 10, 500, 100) / 100, mode); break;
    case scCS: Push(atCharSpacing, GetIntFromText(value, -10, 500, 0), mode); break;
    case scBC: Push(atBackColor, ColorValue(value), mode); break;
    case scFC: Push(atForeColor, ColorValue(value), mode); break;
    case scEC: Push(atEmphasisColor, ColorValue(value), mode); break;
    case scSEC: Push(atSecondEmphasisColor, ColorValue(value), mode); break;
    case scAL:
    case scAR:
    case scAC:
    case scAJ: Push(atAlignment, code - scAL, mode); break;
    case scLPI: Push(atLeftIndent, GetIntFromText(value, 0, 100, 0), mode); break;
    case scRPI: Push(atRightIndent, GetIntFromText(value, 0, 100, 0), mode); break;
    case scFLI: Push(atFirstLineIndent, GetIntFromText(value, 0, 50, 0), mode); break;
    case scLS: Push(atLineSpacing, GetIntFromText(value, 100, 500, 120), mode); break;
    case scPS_T:
        Push(atUnderline, 1, mode);
        Push(atBold, 1, mode);
        Push(atSize, static_cast<int32_t>(baseSize * 1.6), mode);
        Push(atAlignment, 2, mode);
        Push(atLeftIndent, 0, mode);
        Push(atFirstLineIndent, 0, mode);
        break;
    case scPS_H:
        Push(atUnderline, 1, mode);
        Push(atBold, 1, mode);
        Push(atSize, static_cast<int32_t>(baseSize * 1.2), mode);
        break;
    case scPS_N:
        Push(atItalic, 1, mode);
        Push(atSize, static_cast<int32_t>(baseSize * 0.8), mode);
        break;
    case scPCS_HL:
        Push(atBackColor, 0xFFFFFF, mode);
        Push(atForeColor, 0x000000, mode);
        Push(atEmphasisColor, 0x820000, mode);
        Push(atSecondEmphasisColor, 0x5A00B4, mode);
        break;
    case scPCS_LS:
        Push(atBackColor, 0x78784B, mode);
        Push(atForeColor, 0xE6E6E6, mode);
        Push(atEmphasisColor, 0x64CDFF, mode);
        Push(atSecondEmphasisColor, 0x0096CD, mode);
        break;
    case scPCS_LL:
        Push(atBackColor, 0x000000, mode);
        Push(atForeColor, 0x87AAB9, mode);
        Push(atEmphasisColor, 0x196EB9, mode);
        Push(atSecondEmphasisColor, 0x0000AA, mode);
        break;
    case scCAD:
        CurrentBecomesBase();
        ApplyCharFormat(true, 0);
        ApplyParaFormat(true, 0);
        break;
    default: return false;
    }
    return true;
}

bool TEnhancedRichEdit::ExecuteBaseOrUndoCommand(const QString &upperName, char mode)
{
    for (const TStackGroup &group : StackGroups) {
        if (upperName != QLatin1String(group.Name))
            continue;
        for (const int stack : group.Stacks) {
            if (stack < 0)
                break;
            if (mode == '/')
                PushBase(static_cast<TAttribute>(stack), mode);
            else
                Drop(static_cast<TAttribute>(stack));
        }
        return true;
    }
    return false;
}

void TEnhancedRichEdit::EndOneParagraphLevels()
{
    for (int a = 0; a < AttributeCount; ++a)
        if (Levels[a] > 0 && Modes[a][Levels[a]] == '+')
            --Levels[a];
}

void TEnhancedRichEdit::Push(TAttribute attribute, int32_t value, char mode)
{
    int &level = Levels[attribute];
    if (level == StackLevels - 1)
        level = 0; // a full stack starts over from its base
    ++level;
    Values[attribute][level] = value;
    Modes[attribute][level] = mode;
}

void TEnhancedRichEdit::PushFontName(const QString &name, char mode)
{
    Push(atFontName, 0, mode);
    FontNames[Levels[atFontName]] = name;
}

void TEnhancedRichEdit::PushBase(TAttribute attribute, char mode)
{
    if (attribute == atFontName)
        PushFontName(FontNames[0], mode);
    else
        Push(attribute, Values[attribute][0], mode);
}

void TEnhancedRichEdit::Drop(TAttribute attribute)
{
    if (Levels[attribute] > 0)
        --Levels[attribute];
}

void TEnhancedRichEdit::CurrentBecomesBase()
{
    for (int a = 0; a < AttributeCount; ++a)
        Values[a][0] = Values[a][Levels[a]];
    FontNames[0] = FontNames[Levels[atFontName]];
}
