// Helpers for the document window tests: the text as blocks, the collection's lines, the
// answers shown, and a fresh document made from a text as reading a file makes it.
#ifndef NUMBERA_TESTS_DOCUMENT_WINDOW_SUPPORT_H
#define NUMBERA_TESTS_DOCUMENT_WINDOW_SUPPORT_H

#include <QString>
#include <QStringList>
#include <memory>

class NBDocumentWindow;
class NBKettraView;
class NBDocumentController;
class QTextEdit;

// The editor's blocks, one per document line, tokens written as their stored references.
QStringList blockTexts(const QTextEdit& textView);
// The stored text of every line of the document's collection.
QStringList lineTexts(NBDocumentController& document);
// The answer column's text for every row, as the rows show it.
QStringList answerTexts(NBDocumentController& document);

// A document loaded from the lines, as a document read from a file is, in hidden views.
class FreshDocument {
  public:
    explicit FreshDocument(const QStringList& lines);
    ~FreshDocument();
    NBDocumentController& document() { return *m_document; }

  private:
    std::unique_ptr<NBKettraView> m_views;
    NBDocumentController* m_document;
};

// Writes a document file holding the lines.
void writeDocumentFile(const QString& path, const QStringList& lines);

#endif
