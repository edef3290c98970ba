#include "NBHTMLRTFConverter.h"

#include <QColor>
#include <QFontMetricsF>
#include <QImage>
#include <QRegularExpression>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>
#include <cmath>
#include <vector>

#include "NBHTMLPrinter.h"

namespace {

// Text in RTF's own escapes; a character outside ASCII as its signed UTF-16 unit(s), each
// followed by "?" for readers that know no Unicode.
QByteArray escaped(const QString& text) {
    QByteArray out;
    for (QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == u'\\' || unit == u'{' || unit == u'}') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit == u'\t') {
            out += "\\tab ";
        } else if (unit == QChar::LineSeparator || unit == u'\n') {
            out += "\\line ";
        } else if (unit >= 0x20 && unit < 0x7F) {
            out += static_cast<char>(unit);
        } else if (unit < 0x20) {
            continue;
        } else {
            out += "\\u" + QByteArray::number(static_cast<int16_t>(unit)) + '?';
        }
    }
    return out;
}

class RTFWriter {
  public:
    // The table of a row: cells apart by tabs; a row of one cell: its blocks as paragraphs.
    void writeFrame(QTextFrame* frame) {
        for (auto it = frame->begin(); !it.atEnd(); ++it) {
            if (auto* table = qobject_cast<QTextTable*>(it.currentFrame()))
                writeTable(table);
            else if (QTextFrame* child = it.currentFrame())
                writeFrame(child);
            else
                writeParagraph({it.currentBlock()});
        }
    }

    QByteArray document() const {
        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\n{\\fonttbl";
        for (int i = 0; i < m_fonts.size(); ++i)
            out += "{\\f" + QByteArray::number(i) + "\\fnil " + escaped(m_fonts[i]) + ";}";
        out += "}\n{\\colortbl;";
        for (const QColor& color : m_colors)
            out += "\\red" + QByteArray::number(color.red()) + "\\green" +
                   QByteArray::number(color.green()) + "\\blue" + QByteArray::number(color.blue()) +
                   ';';
        out += "}\n" + m_body + "}\n";
        return out;
    }

    // The document's own font comes first in the font table: it is the one a reader falls
    // back on (font 0).
    void nameDocumentFont(const QString& family) {
        if (!family.isEmpty()) fontIndex(family);
    }

  private:
    // A cell of a table row: where it starts and how many columns it covers.
    struct Cell {
        int column = 0;
        int span = 1;
        std::vector<QTextBlock> blocks;
    };
    using Cells = std::vector<Cell>;

    void writeTable(QTextTable* table) {
        std::vector<Cells> rows;
        for (int row = 0; row < table->rows(); ++row) {
            Cells cells;
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                if (!cell.isValid() || cell.row() != row || cell.column() != column) continue;
                Cell kept{column, cell.columnSpan(), {}};
                for (auto it = cell.begin(); !it.atEnd(); ++it)
                    if (it.currentBlock().isValid()) kept.blocks.push_back(it.currentBlock());
                cells.push_back(std::move(kept));
            }
            rows.push_back(std::move(cells));
        }
        const std::vector<double> stops = tabStops(rows);
        QByteArray stopWords;
        for (double stop : stops)
            stopWords += "\\tx" + QByteArray::number(static_cast<int>(std::lround(stop * 20)));
        for (const Cells& cells : rows) {
            if (cells.size() == 1) {
                for (const QTextBlock& block : cells.front().blocks)
                    if (!block.text().isEmpty()) writeParagraph({block});
                continue;
            }
            bool hasText = false;
            for (const Cell& cell : cells)
                for (const QTextBlock& block : cell.blocks)
                    hasText = hasText || !block.text().isEmpty();
            if (hasText) writeRow(cells, stops, stopWords);
        }
    }

    // The width of a cell's text in points, as the RTF reader sets it (a pixel of the page is a
    // point, as in print).
    static double widthInPoints(const std::vector<QTextBlock>& blocks) {
        constexpr double kPointsPerMeter = 72 / 0.0254;
        QImage device(1, 1, QImage::Format_ARGB32);
        device.setDotsPerMeterX(static_cast<int>(kPointsPerMeter));
        device.setDotsPerMeterY(static_cast<int>(kPointsPerMeter));
        double width = 0;
        for (const QTextBlock& block : blocks) {
            double line = 0;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (!fragment.isValid()) continue;
                QFont font = fragment.charFormat().font();
                font.setPointSizeF(pointSize(font));
                line += QFontMetricsF(font, &device).horizontalAdvance(fragment.text());
            }
            width = std::max(width, line);
        }
        return width;
    }

    // Left tab stops after the widest cell of every column but the last, a quarter of an inch
    // on, so that the answers line up in a column. Cells covering several columns (the
    // statistic's title) take no part.
    static std::vector<double> tabStops(const std::vector<Cells>& rows) {
        std::vector<double> widths;
        for (const Cells& cells : rows) {
            if (cells.size() < 2) continue;
            for (const Cell& cell : cells) {
                if (cell.span != 1) continue;
                const size_t column = static_cast<size_t>(cell.column);
                if (widths.size() <= column) widths.resize(column + 1, 0);
                widths[column] = std::max(widths[column], widthInPoints(cell.blocks));
            }
        }
        std::vector<double> stops;
        double at = 0;
        for (size_t column = 0; column + 1 < widths.size(); ++column) {
            at += widths[column] + 18;
            stops.push_back(at);
        }
        return stops;
    }

    static double pointSize(const QFont& font) {
        return font.pointSizeF() > 0  ? font.pointSizeF()
               : font.pixelSize() > 0 ? font.pixelSize()
                                      : 12.0;
    }

    void writeParagraph(const std::vector<QTextBlock>& blocks) {
        if (blocks.empty() || blocks.front().text().isEmpty()) return;
        m_body += "\\pard\\plain ";
        for (const QTextBlock& block : blocks) writeBlock(block);
        m_body += "\\par\n";
    }

    // Each cell after as many tabs as take it from the end of the text before it to the stop
    // of its column.
    void writeRow(const Cells& cells, const std::vector<double>& stops, const QByteArray& words) {
        m_body += "\\pard\\plain" + words + ' ';
        double x = 0;
        for (size_t i = 0; i < cells.size(); ++i) {
            const Cell& cell = cells[i];
            if (i > 0) {
                const size_t stop = static_cast<size_t>(cell.column) - 1;
                const double target = stop < stops.size() ? stops[stop] : x + 1;
                int tabs = 0;
                for (double at : stops)
                    if (at > x && at <= target) ++tabs;
                for (int tab = 0; tab < std::max(tabs, 1); ++tab) m_body += "\\tab ";
                x = std::max(x, target);
            }
            for (size_t b = 0; b < cell.blocks.size(); ++b) {
                if (b > 0) m_body += ' ';
                writeBlock(cell.blocks[b]);
            }
            x += widthInPoints(cell.blocks);
        }
        m_body += "\\par\n";
    }

    void writeBlock(const QTextBlock& block) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            const QTextCharFormat format = fragment.charFormat();
            const QFont font = format.font();
            QByteArray group = "{\\f" + QByteArray::number(fontIndex(font.family()));
            const double points = pointSize(font);
            group += "\\fs" + QByteArray::number(static_cast<int>(std::lround(points * 2)));
            if (font.bold()) group += "\\b";
            if (font.italic()) group += "\\i";
            // An exponent stays raised, and smaller, as the reader draws superscripts.
            if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
                group += "\\super";
            else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
                group += "\\sub";
            if (format.hasProperty(QTextFormat::ForegroundBrush))
                group += "\\cf" + QByteArray::number(colorIndex(format.foreground().color()));
            m_body += group + ' ' + escaped(fragment.text()) + '}';
        }
    }

    int fontIndex(const QString& family) {
        const QString name = family.isEmpty() ? QStringLiteral("Helvetica") : family;
        qsizetype at = m_fonts.indexOf(name);
        if (at < 0) {
            m_fonts << name;
            at = m_fonts.size() - 1;
        }
        return static_cast<int>(at);
    }

    // Colour 0 is the reader's automatic colour.
    int colorIndex(const QColor& color) {
        const QColor opaque = color.toRgb();
        for (size_t i = 0; i < m_colors.size(); ++i)
            if (m_colors[i].rgb() == opaque.rgb()) return static_cast<int>(i + 1);
        m_colors.push_back(opaque);
        return static_cast<int>(m_colors.size());
    }

    QStringList m_fonts;
    std::vector<QColor> m_colors;
    QByteArray m_body;
};

}  // namespace

QByteArray NBHTMLRTFConverter::RTFData() const {
    QTextDocument page;
    page.setHtml(NBHTMLPrinter::printableHTML(m_html));
    RTFWriter writer;
    // The page's text font: the first family its table container names.
    static const QRegularExpression family(
        QStringLiteral("div\\.table_container\\s*\\{[^}]*font-family:\\s*'([^']+)'"));
    writer.nameDocumentFont(family.match(m_html).captured(1));
    writer.writeFrame(page.rootFrame());
    return writer.document();
}
