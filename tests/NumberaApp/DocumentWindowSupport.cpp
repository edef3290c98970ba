#include "DocumentWindowSupport.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include "NBAnswerColumnController.h"
#include "NBAppResources.h"
#include "NBDocumentController.h"
#include "NBKettraView.h"
#include "NBSyntaxHighlighter.h"
#include "NBTextView.h"
#include "NCLine.h"
#include "NCLineCollection.h"

QStringList blockTexts(const QTextEdit& textView) {
    QStringList texts;
    for (QTextBlock block = textView.document()->begin(); block.isValid(); block = block.next())
        texts << QString::fromStdU16String(NBStoredTextOfBlock(block));
    return texts;
}

QStringList lineTexts(NBDocumentController& document) {
    QStringList texts;
    for (const auto& line : document.lineCollection()->lines())
        texts << QString::fromStdU16String(line->expressionString().value_or(u""));
    return texts;
}

QStringList answerTexts(NBDocumentController& document) {
    QStringList texts;
    NBAnswerColumnView* column = document.answerColumnController().answersColumn();
    if (!column || !column->dataSource()) return texts;
    const uint64_t count = column->dataSource()->numberOfRowsInAnswerColumn(*column);
    for (uint64_t row = 0; row < count; ++row)
        texts << QString::fromStdU16String(
            column->dataSource()->objectValueForRow(*column, row).string());
    return texts;
}

FreshDocument::FreshDocument(const QStringList& lines)
    : m_views(std::make_unique<NBKettraView>()), m_document(new NBDocumentController) {
    // Lines as a new document gives them: formatted from the defaults.
    auto collection = std::make_shared<NCLineCollection>();
    collection->beginBatchUpdate();
    for (const QString& text : lines) {
        auto line = NCLine::lineWithExpressionString(text.toStdU16String());
        m_document->lineCollectionController().formatLineFromDefaults(*line);
        collection->addLine(line);
    }
    collection->endBatchUpdate();
    m_document->lineCollectionController().setLineCollection(collection);
    m_document->setParent(m_views.get());
    m_document->windowControllerDidLoadNib(m_views->textView(), m_views->answerColumn());
}

FreshDocument::~FreshDocument() {
    m_views->textView()->setDelegate(nullptr);
    m_views->answerColumn()->setDataSource(nullptr);
    delete m_document;
}

void writeDocumentFile(const QString& path, const QStringList& lines) {
    auto collection = std::make_shared<NCLineCollection>();
    for (const QString& line : lines)
        collection->addLine(NCLine::lineWithExpressionString(line.toStdU16String()));
    std::string error;
    ASSERT_TRUE(collection->archiveToPath(path.toStdString(), {}, &error)) << error;
}
