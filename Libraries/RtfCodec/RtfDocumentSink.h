// Builds what the RTF reader reports into a TRichDocument through its bulk
// interface. Paragraphs, their formats and character runs go in while
// reading; links, superscripts and pictures are applied to the finished Qt
// document afterwards (they change no text, so positions stay put). Table
// rows become one paragraph each with their cells separated by tabs and tab
// stops at the cell edges.
#pragma once

#include "RtfSink.h"

#include <QImage>

#include <vector>

class TRtfDocumentSink : public TRtfSink
{
public:
    // Starts a bulk build of `document`; DocumentEnd hands it over.
    explicit TRtfDocumentSink(TRichDocument &document);
    ~TRtfDocumentSink() override;

    void Text(const QString &text, const TRtfTextFormat &format) override;
    void ParagraphEnd(const TParaFormat &format, bool inTable) override;
    void CellEnd() override;
    void RowEnd(const TParaFormat &format, const QVector<int> &cellRight) override;
    void Image(const QByteArray &data, const char *format, int widthTwips, int heightTwips,
               const TRtfTextFormat &textFormat) override;
    void LinkBegin(const QString &target) override;
    void LinkEnd() override;
    void DocumentEnd() override;

private:
    struct TMark {
        int Paragraph = 0;
        int Offset = 0;
    };
    struct TLink {
        TMark Start, End;
        QString Target;
    };
    struct TRaised {
        TMark At;
        int Length = 0;
        TRtfVerticalAlign Align = TRtfVerticalAlign::Normal;
    };
    struct TPicture {
        TMark At;
        QImage Picture;
        int WidthTwips = 0, HeightTwips = 0;
    };

    void Append(const QString &text, const TRtfTextFormat &format);
    void AddTabs();
    void Finish(const TParaFormat &format);
    TMark Here() const { return TMark{Paragraphs, int(Paragraph.size())}; }
    void ApplyExtras();

    TRichDocument &Document;
    bool Building = false;
    QString Paragraph;
    QVector<TFormatRun> Runs;
    TCharFormat LastFormat; // for empty paragraphs
    bool HasLastFormat = false;
    int Paragraphs = 0;
    // Table rows
    bool InRow = false;
    int PendingTabs = 0;
    bool CellHasText = false;
    // Applied after the build
    std::vector<TLink> Links;
    std::vector<TMark> OpenLinks;
    std::vector<QString> OpenTargets;
    std::vector<TRaised> Raised;
    std::vector<TPicture> Pictures;
};
