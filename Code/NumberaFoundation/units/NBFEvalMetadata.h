// What an evaluation learned about units: the units the expression named for each type
// (preferred), the units an explicit conversion asked for (required), and how each unit was
// written. Children's metadata is merged into their parent's for each operation, so the
// root's describes the whole expression; the factorizer then presents the answer in those
// units.
//
// The maps retain their units. A null metadata is accepted everywhere and gives null or empty.
#ifndef NUMBERA_FOUNDATION_NBF_EVAL_METADATA_H
#define NUMBERA_FOUNDATION_NBF_EVAL_METADATA_H

#include <map>
#include <string>

#include "NBFOperatorType.h"
#include "NBFUnit.h"
#include "NBFUnitFraction.h"
#include "NBFUnitType.h"

struct NBFEvalMetadata;
typedef NBFEvalMetadata* NBFEvalMetadataRef;
typedef std::map<NBFUnitType, NBFUnit*> NBFEvalUnitsMap;
typedef std::map<std::string, NBFUnitFormatType> NBFUnitNameFormatMap;  // by unit identifier

NBFEvalMetadataRef NBFEvalMetadataCreate();
NBFEvalMetadataRef NBFEvalMetadataRetain(NBFEvalMetadataRef metadata);
void NBFEvalMetadataRelease(NBFEvalMetadataRef metadata);

// Each numerator unit becomes the preferred numerator unit of its type, each denominator unit
// the preferred denominator unit; later units replace earlier ones.
void NBFEvalMetadataAppendUnitFraction(NBFEvalMetadataRef metadata, NBFUnitFractionRef fraction);
void NBFEvalMetadataAppendUnitNameFormatMapping(NBFEvalMetadataRef metadata, NBFUnit* unit,
                                                NBFUnitFormatType formatType);
// Merges a child's metadata for an operation of no particular type.
void NBFEvalMetadataAppendAccumulator(NBFEvalMetadataRef metadata, NBFEvalMetadataRef other);
// For a unit conversion the other's units become required (and preferred); for any other
// operator its preferred units replace this one's and override earlier requirements of their
// types.
void NBFEvalMetadataAppendAccumulatorForOperation(NBFEvalMetadataRef metadata,
                                                  NBFEvalMetadataRef other,
                                                  NBFOperatorType operatorType);

// The numerator's unit for the type, else the denominator's, else null. Borrowed.
NBFUnit* NBFEvalMetadataGetPreferredUnitOfType(NBFEvalMetadataRef metadata, NBFUnitType type);
NBFUnit* NBFEvalMetadataGetRequiredUnitOfType(NBFEvalMetadataRef metadata, NBFUnitType type);
// Over the unit type list only (never the electrical types): type -> unit, where one exists.
NBFEvalUnitsMap NBFEvalMetadataGetPreferredUnitsMap(NBFEvalMetadataRef metadata);
NBFEvalUnitsMap NBFEvalMetadataGetRequiredUnitsMap(NBFEvalMetadataRef metadata);
const NBFUnitNameFormatMap& NBFEvalMetadataGetUnitNameFormatMap(NBFEvalMetadataRef metadata);

#endif
