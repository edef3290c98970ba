#include "NBHTMLRTFConverter.h"

#include <QColor>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
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

  private:
    void writeTable(QTextTable* table) {
        for (int row = 0; row < table->rows(); ++row) {
            std::vector<std::vector<QTextBlock>> cells;
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                if (!cell.isValid() || cell.row() != row || cell.column() != column) continue;
                std::vector<QTextBlock> blocks;
                for (auto it = cell.begin(); !it.atEnd(); ++it)
                    if (it.currentBlock().isValid()) blocks.push_back(it.currentBlock());
                cells.push_back(std::move(blocks));
            }
            if (cells.size() == 1) {
                for (const QTextBlock& block : cells.front())
                    if (!block.text().isEmpty()) writeParagraph({block});
                continue;
            }
            bool hasText = false;
            for (const auto& blocks : cells)
                for (const QTextBlock& block : blocks) hasText = hasText || !block.text().isEmpty();
            if (hasText) writeRow(cells);
        }
    }

    void writeParagraph(const std::vector<QTextBlock>& blocks) {
        if (blocks.empty() || blocks.front().text().isEmpty()) return;
        m_body += "\\pard\\plain ";
        for (const QTextBlock& block : blocks) writeBlock(block);
        m_body += "\\par\n";
    }

    void writeRow(const std::vector<std::vector<QTextBlock>>& cells) {
        m_body += "\\pard\\plain ";
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) m_body += "\\tab ";
            for (size_t b = 0; b < cells[i].size(); ++b) {
                if (b > 0) m_body += ' ';
                writeBlock(cells[i][b]);
            }
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
            const double points = font.pointSizeF() > 0  ? font.pointSizeF()
                                  : font.pixelSize() > 0 ? font.pixelSize()
                                                         : 12.0;
            group += "\\fs" + QByteArray::number(static_cast<int>(std::lround(points * 2)));
            if (font.bold()) group += "\\b";
            if (font.italic()) group += "\\i";
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
    writer.writeFrame(page.rootFrame());
    return writer.document();
}
