// Where lines are drawn. The application's geometry lays out glyphs; the abstract base here
// answers zero rectangles and adds the paragraph spacing to a line's height.
#ifndef NUMBERA_KIT_NK_TEXT_VIEW_GEOMETRY_H
#define NUMBERA_KIT_NK_TEXT_VIEW_GEOMETRY_H

#include <cstdint>
#include <memory>

#include "NSGeometry.h"
#include "NSRange.h"

class NKTextViewLineMetrics;
class NKTextViewLineCache;

class NKTextViewGeometry {
  public:
    virtual ~NKTextViewGeometry() = default;
    virtual NSRect boundingRectOfLineAtIndex(uint64_t index) = 0;
    virtual NSRect rectForCharacterRange(NSRange range) = 0;
    virtual double heightOfLineAtIndex(uint64_t index) = 0;
    virtual double paragraphSpacing() const = 0;
};

class NKAbstractTextViewGeometry : public NKTextViewGeometry {
  public:
    NKAbstractTextViewGeometry() = default;
    NKAbstractTextViewGeometry(std::shared_ptr<NKTextViewLineMetrics> lineMetrics,
                               std::shared_ptr<NKTextViewLineCache> lineCache,
                               double paragraphSpacing)
        : m_lineMetrics(std::move(lineMetrics)),
          m_lineCache(std::move(lineCache)),
          m_paragraphSpacing(paragraphSpacing) {}

    NSRect boundingRectOfLineAtIndex(uint64_t) override { return NSZeroRect; }
    NSRect rectForCharacterRange(NSRange) override { return NSZeroRect; }
    double heightOfLineAtIndex(uint64_t index) override {
        return boundingRectOfLineAtIndex(index).size.height + m_paragraphSpacing;
    }
    double paragraphSpacing() const override { return m_paragraphSpacing; }

    const std::shared_ptr<NKTextViewLineMetrics>& lineMetrics() const { return m_lineMetrics; }
    const std::shared_ptr<NKTextViewLineCache>& lineCache() const { return m_lineCache; }

  private:
    std::shared_ptr<NKTextViewLineMetrics> m_lineMetrics;
    std::shared_ptr<NKTextViewLineCache> m_lineCache;
    double m_paragraphSpacing = 0.0;
};

#endif
