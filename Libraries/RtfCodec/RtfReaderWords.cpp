// The control words and symbols the reader obeys.
#include "RtfReaderImpl.h"

#include <algorithm>
#include <unordered_map>

using namespace RtfInternal;

namespace {

enum class TWord {
    // document
    Rtf,
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCpg,
    Deff,
    Uc,
    U,
    Bin,
    Ud,
    Upr,
    StyleSheet,
    S,
    Cs,
    // destinations
    FontTable,
    ColorTable,
    SkipDest,
    Field,
    FldInst,
    FldRslt,
    Pict,
    Footnote,
    PassDest,
    ShpInst,
    ShpTxt,
    // font table
    F,
    FCharset,
    Cpg,
    Red,
    Green,
    Blue,
    // characters
    Plain,
    B,
    I,
    Ul,
    UlNone,
    Strike,
    Fs,
    Cf,
    Cb,
    Highlight,
    Expnd,
    Expndtw,
    Super,
    Sub,
    NoSuperSub,
    Up,
    Dn,
    Caps,
    V,
    // paragraphs
    Pard,
    Ql,
    Qr,
    Qc,
    Qj,
    Li,
    Ri,
    Fi,
    Sb,
    Sa,
    Sl,
    SlMult,
    Tx,
    InTbl,
    Itap,
    // breaks and characters
    Par,
    Sect,
    Page,
    Line,
    Tab,
    Cell,
    Row,
    NestCell,
    NestRow,
    Trowd,
    Cellx,
    Chftn,
    Char,
    // pictures
    PngBlip,
    JpegBlip,
    MetafileBlip,
    OtherBlip,
    PicW,
    PicH,
    // bookmarks
    BkmkStart,
    BkmkEnd,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
};

struct TWordInfo {
    TWord Word;
    char16_t Char = 0; // TWord::Char: the character
};

const std::unordered_map<std::string_view, TWordInfo> &Words()
{
    static const std::unordered_map<std::string_view, TWordInfo> words = [] {
        std::unordered_map<std::string_view, TWordInfo> w;
        auto add = [&w](std::string_view name, TWord word, char16_t c = 0) { w.emplace(name, TWordInfo{word, c}); };
        add("rtf", TWord::Rtf);
        add("ansi", TWord::Ansi);
        add("mac", TWord::Mac);
        add("pc", TWord::Pc);
        add("pca", TWord::Pca);
        add("ansicpg", TWord::AnsiCpg);
        add("deff", TWord::Deff);
        add("uc", TWord::Uc);
        add("u", TWord::U);
        add("bin", TWord::Bin);
        add("ud", TWord::Ud);
        add("upr", TWord::Upr);
        add("fonttbl", TWord::FontTable);
        add("stylesheet", TWord::StyleSheet);
        add("s", TWord::S);
        add("cs", TWord::Cs);
        add("colortbl", TWord::ColorTable);
        for (const char *name :
             {"info",       "header",       "headerl",   "headerr",     "headerf",  "footer",    "footerl",
              "footerr",    "footerf",      "pn",        "pntxta",      "pntxtb",   "listtable", "listoverridetable",
              "revtbl",     "rsidtbl",      "filetbl",   "xe",          "tc",       "txe",       "nonshppict",
              "shprslt",    "nonesttables", "objdata",   "ftnsep",      "ftnsepc",  "aftnsep",   "aftnsepc",
              "annotation", "atnid",        "atnauthor", "pgdsctbl",    "template", "themedata", "colorschememapping",
              "datastore",  "latentstyles", "generator", "xmlnstbl",    "mmathPr",  "fldtype",   "falt",
              "panose",     "picprop",      "blipuid",   "listpicture", "private",  "userprops", "docvar",
              "comment",    "title",        "author",    "operator",    "keywords", "subject",   "doccomm",
              "company",    "category",     "hlinkbase"})
            add(name, TWord::SkipDest);
        add("field", TWord::Field);
        add("fldinst", TWord::FldInst);
        add("fldrslt", TWord::FldRslt);
        add("pict", TWord::Pict);
        add("footnote", TWord::Footnote);
        for (const char *name : {"shppict", "shp", "object", "result", "nesttableprops", "listtext", "pntext"})
            add(name, TWord::PassDest);
        add("shpinst", TWord::ShpInst);
        add("shptxt", TWord::ShpTxt);
        add("f", TWord::F);
        add("fcharset", TWord::FCharset);
        add("cpg", TWord::Cpg);
        add("red", TWord::Red);
        add("green", TWord::Green);
        add("blue", TWord::Blue);
        add("plain", TWord::Plain);
        add("b", TWord::B);
        add("i", TWord::I);
        for (const char *name :
             {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth", "ulthd", "ulthdash",
              "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
            add(name, TWord::Ul);
        add("ulnone", TWord::UlNone);
        add("strike", TWord::Strike);
        add("striked", TWord::Strike);
        add("fs", TWord::Fs);
        add("cf", TWord::Cf);
        add("cb", TWord::Cb);
        add("chcbpat", TWord::Cb);
        add("highlight", TWord::Highlight);
        add("expnd", TWord::Expnd);
        add("expndtw", TWord::Expndtw);
        add("super", TWord::Super);
        add("sub", TWord::Sub);
        add("nosupersub", TWord::NoSuperSub);
        add("up", TWord::Up);
        add("dn", TWord::Dn);
        add("caps", TWord::Caps);
        add("v", TWord::V);
        add("deleted", TWord::V); // text a tracked change removed
        add("pard", TWord::Pard);
        add("ql", TWord::Ql);
        add("qr", TWord::Qr);
        add("qc", TWord::Qc);
        add("qj", TWord::Qj);
        add("qd", TWord::Qj);
        add("li", TWord::Li);
        add("lin", TWord::Li);
        add("ri", TWord::Ri);
        add("rin", TWord::Ri);
        add("fi", TWord::Fi);
        add("sb", TWord::Sb);
        add("sa", TWord::Sa);
        add("sl", TWord::Sl);
        add("slmult", TWord::SlMult);
        add("tx", TWord::Tx);
        add("intbl", TWord::InTbl);
        add("itap", TWord::Itap);
        add("par", TWord::Par);
        add("sect", TWord::Sect);
        add("page", TWord::Page);
        add("line", TWord::Line);
        add("tab", TWord::Tab);
        add("cell", TWord::Cell);
        add("row", TWord::Row);
        add("nestcell", TWord::NestCell);
        add("nestrow", TWord::NestRow);
        add("trowd", TWord::Trowd);
        add("cellx", TWord::Cellx);
        add("chftn", TWord::Chftn);
        add("emdash", TWord::Char, 0x2014);
        add("endash", TWord::Char, 0x2013);
        add("emspace", TWord::Char, 0x2003);
        add("enspace", TWord::Char, 0x2002);
        add("qmspace", TWord::Char, 0x2005);
        add("bullet", TWord::Char, 0x2022);
        add("lquote", TWord::Char, 0x2018);
        add("rquote", TWord::Char, 0x2019);
        add("ldblquote", TWord::Char, 0x201C);
        add("rdblquote", TWord::Char, 0x201D);
        add("zwj", TWord::Char, 0x200D);
        add("zwnj", TWord::Char, 0x200C);
        add("zwbo", TWord::Char, 0x200B);
        add("ltrmark", TWord::Char, 0x200E);
        add("rtlmark", TWord::Char, 0x200F);
        add("pngblip", TWord::PngBlip);
        add("jpegblip", TWord::JpegBlip);
        for (const char *name : {"emfblip", "wmetafile", "pmmetafile"})
            add(name, TWord::MetafileBlip);
        for (const char *name : {"macpict", "dibitmap", "wbitmap"})
            add(name, TWord::OtherBlip);
        add("picw", TWord::PicW);
        add("pich", TWord::PicH);
        add("bkmkstart", TWord::BkmkStart);
        add("bkmkend", TWord::BkmkEnd);
        add("picwgoal", TWord::PicWGoal);
        add("pichgoal", TWord::PicHGoal);
        add("picscalex", TWord::PicScaleX);
        add("picscaley", TWord::PicScaleY);
        return w;
    }();
    return words;
}

// What a control word does in a group past the depth limit, which shares
// the deepest group's state: formats, breaks and characters apply to it; a
// destination cannot start there, so its group is skipped; what would open
// something to finish when the group closes is left out.
enum class TPastLimit { Apply, SkipGroup, Ignore };

TPastLimit PastLimit(TWord word)
{
    switch (word) {
    case TWord::FontTable:
    case TWord::StyleSheet:
    case TWord::ColorTable:
    case TWord::SkipDest:
    case TWord::FldInst:
    case TWord::Pict:
    case TWord::Footnote:
    case TWord::ShpInst:
    case TWord::BkmkStart:
    case TWord::BkmkEnd:
    case TWord::Ud: return TPastLimit::SkipGroup; // a \upr's ANSI part is read instead
    case TWord::Field:
    case TWord::FldRslt:
    case TWord::ShpTxt:
    case TWord::Upr: return TPastLimit::Ignore;
    default: return TPastLimit::Apply;
    }
}

constexpr int MaxTwips = 31680; // 22 inches: the widest page a word processor makes

int Twips(int value) { return std::clamp(value, -MaxTwips, MaxTwips); }

} // namespace

void TRtfReader::TImpl::SetFont(int font)
{
    TGroupState &state = State();
    state.Char.Font = font;
    const auto entry = Fonts.find(font < 0 ? DefaultFont : font);
    state.SymbolFont = false;
    const TRtfCodePage *page = nullptr;
    if (entry != Fonts.end()) {
        state.SymbolFont = entry->Symbol;
        if (entry->CodePage > 0) {
            if (!entry->Page)
                entry->Page = &TRtfCodePage::Get(entry->CodePage);
            page = entry->Page;
        }
    }
    if (!page) {
        if (!DocPage || DocPage->Number() != DocCodePage)
            DocPage = &TRtfCodePage::Get(DocCodePage);
        page = DocPage;
    }
    state.CodePage = page;
    FormatDirty = true;
}

void TRtfReader::TImpl::ResetChar()
{
    State().Char = TCharProps();
    SetFont(-1);
}

void TRtfReader::TImpl::ControlSymbol(char symbol)
{
    SequenceLength = 0; // a character's bytes are never split by a control
    if (SkipChars > 0 && symbol != '*') {
        --SkipChars;
        return;
    }
    switch (symbol) {
    case '*': Ignorable = true; return;
    case '\\':
    case '{':
    case '}': {
        const QChar c = QLatin1Char(symbol);
        Deliver(QStringView(&c, 1));
        break;
    }
    case '~': DeliverChar(QChar(0x00A0)); break;
    case '-': DeliverChar(QChar(0x00AD)); break;
    case '_': DeliverChar(QChar(0x2011)); break;
    case '\n':
        if (State().Dest == TDest::Body)
            ParagraphEnd();
        break;
    case '\t': DeliverChar(QLatin1Char('\t')); break;
    default: break; // \: \| and others mean nothing to a reader
    }
    Ignorable = false;
}

void TRtfReader::TImpl::ControlWord(const TRtfToken &token)
{
    SequenceLength = 0;
    TGroupState &state = State();
    if (state.Dest == TDest::Picture && state.OwnsPicture && InPicture && token.Name != "bin"
        && Picture.Controls.size() < 4096) {
        // Kept as written, for pictures that are written back unchanged.
        Picture.Controls += '\\';
        Picture.Controls.append(token.Name.data(), qsizetype(token.Name.size()));
        if (token.HasParam)
            Picture.Controls += QByteArray::number(token.Param);
    }
    const auto found = Words().find(token.Name);
    const bool ignorable = Ignorable;
    Ignorable = false;

    if (state.Dest == TDest::Skip) {
        // Inside a skipped part only binary data has to be stepped over and
        // a \ud alternative of \upr brought back.
        if (found != Words().end()) {
            if (found->second.Word == TWord::Bin)
                Tokens->TakeBytes(std::max(token.Param, 0));
            else if (found->second.Word == TWord::Ud && state.UprChild)
                state.Dest = state.UprDest;
        }
        return;
    }
    if (found == Words().end()) {
        if (ignorable && Overflow > 0)
            OverflowSkip = Overflow;
        else if (ignorable)
            state.Dest = TDest::Skip; // an unknown destination
        if (SkipChars > 0)
            --SkipChars;
        return;
    }
    const TWord word = found->second.Word;
    const int param = token.Param;
    const bool on = !token.HasParam || param != 0;

    if (SkipChars > 0 && word != TWord::Bin) {
        --SkipChars; // a control word standing in for a \u character
        return;
    }
    if (Overflow > 0) {
        const TPastLimit past = PastLimit(word);
        if (past == TPastLimit::SkipGroup)
            OverflowSkip = Overflow;
        if (past != TPastLimit::Apply)
            return;
    }

    switch (word) {
    case TWord::Rtf:
    case TWord::Ansi: break;
    case TWord::Mac:
        DocCodePage = 10000;
        SetFont(state.Char.Font);
        break;
    case TWord::Pc:
        DocCodePage = 437;
        SetFont(state.Char.Font);
        break;
    case TWord::Pca:
        DocCodePage = 850;
        SetFont(state.Char.Font);
        break;
    case TWord::AnsiCpg:
        if (token.HasParam && param > 0) {
            DocCodePage = TRtfCodePage::Get(param).Number();
            SetFont(state.Char.Font);
        }
        break;
    case TWord::Deff:
        DefaultFont = std::max(param, 0);
        SetFont(state.Char.Font);
        break;
    case TWord::Uc: state.UcSkip = std::clamp(param, 0, 8); break;
    case TWord::U: {
        int code = param;
        if (code < 0)
            code += 65536;
        // U+FFFC stands for an object in the document; as text it would be
        // a picture without a picture.
        if (code > 0 && code <= 0xFFFF && code != 0xFFFC) {
            const QChar c(static_cast<char16_t>(code));
            if (c.unicode() >= 0x20 || c == QLatin1Char('\t'))
                DeliverChar(state.SymbolFont && code == 0xF0B7 ? QChar(0x2022) : c);
        }
        SkipChars = state.UcSkip;
        break;
    }
    case TWord::Bin: Binary(std::max(param, 0)); break;
    case TWord::Ud: break;
    case TWord::Upr: state.Upr = true; break;
    case TWord::FontTable: state.Dest = TDest::FontTable; break;
    case TWord::StyleSheet: state.Dest = TDest::StyleSheet; break;
    case TWord::S:
    case TWord::Cs: {
        const int key = std::clamp(param, 0, 0xFFFF) + (word == TWord::Cs ? 0x10000 : 0);
        if (state.Dest == TDest::StyleSheet) {
            // A definition: what its group sets, from the defaults up.
            if (Stack.size() >= 2 && Stack[Stack.size() - 2].Dest == TDest::StyleSheet) {
                state.OwnsStyle = key;
                state.Char = TCharProps();
                state.Para = TParaProps();
            }
            break;
        }
        // A paragraph style gives its properties; what the text sets after
        // the style's number still wins. Character styles add only some
        // properties, which writers repeat anyway: they are not applied.
        const auto style = Styles.constFind(key);
        if (word == TWord::Cs || style == Styles.constEnd())
            break;
        const bool inTable = state.Para.InTable;
        state.Char = style->Char;
        state.Para = style->Para;
        state.Para.InTable = inTable;
        SetFont(state.Char.Font);
        break;
    }
    case TWord::ColorTable:
        state.Dest = TDest::ColorTable;
        Red = Green = Blue = -1;
        break;
    case TWord::SkipDest: state.Dest = TDest::Skip; break;
    case TWord::Field:
        if (Fields.size() < 64) {
            Flush();
            Fields.push_back(TField());
            state.OwnsField = true;
        }
        break;
    case TWord::FldInst:
        state.Dest = state.Dest == TDest::Body && !Fields.empty() ? TDest::FieldInst : TDest::Skip;
        break;
    case TWord::FldRslt:
        if (state.Dest == TDest::Body || state.Dest == TDest::FieldInst) {
            state.Dest = TDest::Body;
            BeginFieldResult();
        }
        break;
    case TWord::Pict:
        if (state.Dest != TDest::Body && state.Dest != TDest::ShapeInst) {
            state.Dest = TDest::Skip;
        } else if (!InPicture) {
            InPicture = true;
            Picture = TPicture();
            state.OwnsPicture = true;
            state.Dest = TDest::Picture;
        } else {
            state.Dest = TDest::Skip;
        }
        break;
    case TWord::Footnote:
        if (state.Dest != TDest::Body || InFootnote) {
            state.Dest = TDest::Skip;
            break;
        }
        Flush();
        InFootnote = true;
        state.OwnsFootnote = true;
        ++FootnoteCount;
        Out = &Notes;
        break;
    case TWord::PassDest: break;
    case TWord::ShpInst:
        if (state.Dest == TDest::Body)
            state.Dest = TDest::ShapeInst;
        break;
    case TWord::ShpTxt:
        if (state.Dest == TDest::ShapeInst)
            state.Dest = TDest::Body;
        break;
    case TWord::F:
        if (state.Dest == TDest::FontTable) {
            FinishFontEntry();
            FontEntry = std::max(param, 0);
            FontName.clear();
            Fonts[FontEntry] = TFont();
            if (Stack.size() >= 2 && Stack[Stack.size() - 2].Dest == TDest::FontTable)
                state.OwnsFontEntry = true; // {\f1 ...} inside the table
        } else {
            SetFont(std::max(param, 0));
        }
        break;
    case TWord::FCharset:
        if (state.Dest == TDest::FontTable && FontEntry >= 0) {
            TFont &font = Fonts[FontEntry];
            font.Symbol = param == 2;
            if (font.CodePage == 0) {
                font.CodePage = TRtfCodePage::FromCharset(param);
                font.Page = nullptr;
            }
            state.CodePage = &TRtfCodePage::Get(font.CodePage > 0 ? font.CodePage : DocCodePage);
        }
        break;
    case TWord::Cpg:
        if (state.Dest == TDest::FontTable && FontEntry >= 0 && param > 0) {
            Fonts[FontEntry].CodePage = TRtfCodePage::Get(param).Number();
            Fonts[FontEntry].Page = nullptr;
            state.CodePage = &TRtfCodePage::Get(Fonts[FontEntry].CodePage);
        }
        break;
    case TWord::Red: Red = std::clamp(param, 0, 255); break;
    case TWord::Green: Green = std::clamp(param, 0, 255); break;
    case TWord::Blue: Blue = std::clamp(param, 0, 255); break;
    case TWord::Plain: ResetChar(); break;
    case TWord::B:
        state.Char.Bold = on;
        FormatDirty = true;
        break;
    case TWord::I:
        state.Char.Italic = on;
        FormatDirty = true;
        break;
    case TWord::Ul:
        state.Char.Underline = on;
        FormatDirty = true;
        break;
    case TWord::UlNone:
        state.Char.Underline = false;
        FormatDirty = true;
        break;
    case TWord::Strike:
        state.Char.Strike = on;
        FormatDirty = true;
        break;
    case TWord::Fs:
        state.Char.HalfPoints = token.HasParam && param > 0 ? std::clamp(param, 2, 3276) : 24;
        FormatDirty = true;
        break;
    case TWord::Cf:
        state.Char.Color = std::max(param, 0);
        FormatDirty = true;
        break;
    case TWord::Cb:
    case TWord::Highlight:
        state.Char.BackColor = std::max(param, 0);
        FormatDirty = true;
        break;
    case TWord::Expnd:
        state.Char.SpacingTwips = std::clamp(param, -2000, 2000) * 5; // quarter points
        FormatDirty = true;
        break;
    case TWord::Expndtw:
        state.Char.SpacingTwips = std::clamp(param, -10000, 10000);
        FormatDirty = true;
        break;
    case TWord::Super:
        state.Char.VerticalAlign = on ? TRtfVerticalAlign::Super : TRtfVerticalAlign::Normal;
        FormatDirty = true;
        break;
    case TWord::Sub:
        state.Char.VerticalAlign = on ? TRtfVerticalAlign::Sub : TRtfVerticalAlign::Normal;
        FormatDirty = true;
        break;
    case TWord::NoSuperSub:
        state.Char.VerticalAlign = TRtfVerticalAlign::Normal;
        FormatDirty = true;
        break;
    case TWord::Up:
        state.Char.VerticalAlign
            = (!token.HasParam || param > 0) ? TRtfVerticalAlign::Super : TRtfVerticalAlign::Normal;
        FormatDirty = true;
        break;
    case TWord::Dn:
        state.Char.VerticalAlign = (!token.HasParam || param > 0) ? TRtfVerticalAlign::Sub : TRtfVerticalAlign::Normal;
        FormatDirty = true;
        break;
    case TWord::Caps: state.Char.Caps = on; break;
    case TWord::V: state.Char.Hidden = on; break;
    case TWord::Pard: state.Para = TParaProps(); break;
    case TWord::Ql: state.Para.Alignment = PFA_LEFT; break;
    case TWord::Qr: state.Para.Alignment = PFA_RIGHT; break;
    case TWord::Qc: state.Para.Alignment = PFA_CENTER; break;
    case TWord::Qj: state.Para.Alignment = PFA_JUSTIFY; break;
    case TWord::Li: state.Para.LeftIndent = Twips(param); break;
    case TWord::Ri: state.Para.RightIndent = Twips(param); break;
    case TWord::Fi: state.Para.FirstIndent = Twips(param); break;
    case TWord::Sb: state.Para.SpaceBefore = std::clamp(param, 0, MaxTwips); break;
    case TWord::Sa: state.Para.SpaceAfter = std::clamp(param, 0, MaxTwips); break;
    case TWord::Sl:
        state.Para.LineSpacing = param == 1000 ? 0 : Twips(param); // \sl1000 is Word's "single"
        break;
    case TWord::SlMult: state.Para.LineMultiple = on; break;
    case TWord::Tx:
        if (param > 0 && param <= MaxTwips && state.Para.Tabs.size() < 64 && !state.Para.Tabs.contains(param)) {
            QVector<int> &tabs = state.Para.Tabs;
            tabs.insert(std::lower_bound(tabs.begin(), tabs.end(), param), param);
        }
        break;
    case TWord::InTbl: state.Para.InTable = true; break;
    case TWord::Itap: state.Para.InTable = param > 0; break;
    case TWord::Par:
        if (state.Dest == TDest::Body)
            ParagraphEnd();
        break;
    case TWord::Sect:
    case TWord::Page:
        if (state.Dest == TDest::Body) {
            Flush();
            if (Out->HasContent)
                ParagraphEnd();
        }
        break;
    case TWord::Line: DeliverChar(QChar(QChar::LineSeparator)); break;
    case TWord::Tab: DeliverChar(QLatin1Char('\t')); break;
    case TWord::Cell:
    case TWord::NestCell:
        if (state.Dest == TDest::Body) {
            Flush();
            Out->Sink->CellEnd();
            Out->HasContent = true;
        }
        break;
    case TWord::Row:
    case TWord::NestRow:
        if (state.Dest == TDest::Body) {
            Flush();
            Out->Sink->RowEnd(CurrentParaFormat(), RowCells);
            Out->HasContent = false;
        }
        break;
    case TWord::Trowd: RowCells.clear(); break;
    case TWord::Cellx:
        if (RowCells.size() < 256)
            RowCells.append(Twips(param));
        break;
    case TWord::Chftn:
        if (state.Dest == TDest::Body) {
            const QString number = QString::number(InFootnote ? FootnoteCount : FootnoteCount + 1);
            Deliver(number);
        }
        break;
    case TWord::Char: DeliverChar(QChar(found->second.Char)); break;
    case TWord::PngBlip:
        if (InPicture)
            Picture.Format = "png";
        break;
    case TWord::JpegBlip:
        if (InPicture)
            Picture.Format = "jpeg";
        break;
    case TWord::MetafileBlip:
    case TWord::OtherBlip:
        if (InPicture) {
            Picture.Format = nullptr;
            Picture.Kept = true;
            Picture.Metafile = word == TWord::MetafileBlip;
        }
        break;
    case TWord::PicW:
        if (InPicture)
            Picture.Width = std::clamp(param, 0, 1 << 20);
        break;
    case TWord::PicH:
        if (InPicture)
            Picture.Height = std::clamp(param, 0, 1 << 20);
        break;
    case TWord::BkmkStart:
    case TWord::BkmkEnd:
        if (state.Dest == TDest::Body) {
            state.Dest = TDest::Bookmark;
            state.OwnsBookmark = word == TWord::BkmkStart ? 1 : 2;
            BookmarkName.clear();
        } else {
            state.Dest = TDest::Skip;
        }
        break;
    case TWord::PicWGoal:
        if (InPicture)
            Picture.WidthGoal = std::clamp(param, 0, 4 * MaxTwips);
        break;
    case TWord::PicHGoal:
        if (InPicture)
            Picture.HeightGoal = std::clamp(param, 0, 4 * MaxTwips);
        break;
    case TWord::PicScaleX:
        if (InPicture)
            Picture.ScaleX = std::clamp(param, 1, 1000);
        break;
    case TWord::PicScaleY:
        if (InPicture)
            Picture.ScaleY = std::clamp(param, 1, 1000);
        break;
    }
}
