// Renders an expression tree as text, every operation in brackets, for tests and logs:
// 1 + 2 × 3 prints as "(1+(2*3))".
#ifndef NUMBERA_FOUNDATION_NBF_EXPRESSION_NODE_TREE_PRINTER_H
#define NUMBERA_FOUNDATION_NBF_EXPRESSION_NODE_TREE_PRINTER_H

#include <string>

#include "NBFExpressionTree.h"
#include "NBFObject.h"

struct NBFExpressionNodeTreePrinter : NBF::Object<NBFExpressionNodeTreePrinter> {
    ~NBFExpressionNodeTreePrinter() override { NBF::release(tree); }
    NBFExpressionTreeRef tree = nullptr;  // retained
};
typedef NBFExpressionNodeTreePrinter* NBFExpressionNodeTreePrinterRef;

// Retains the tree.
NBFExpressionNodeTreePrinterRef NBFExpressionNodeTreePrinterCreate(NBFExpressionTreeRef tree);
NBFExpressionNodeTreePrinterRef NBFExpressionNodeTreePrinterRetain(
    NBFExpressionNodeTreePrinterRef printer);
void NBFExpressionNodeTreePrinterRelease(NBFExpressionNodeTreePrinterRef printer);
// The rendering of the tree's root; empty for a null printer or tree.
std::string NBFExpressionNodeTreePrinterCreateString(NBFExpressionNodeTreePrinterRef printer);

#endif
