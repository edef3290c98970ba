#include "NBFFile.h"

std::string kFormattingAttributesDecimalPlacesKey;
std::string kFormattingAttributesTrigonometryModeKey;

NBFFileInfoNodeRef NBFFileInfoNodeCreate() { return new NBFFileInfoNode(); }
void NBFFileInfoNodeFree(NBFFileInfoNodeRef node) { delete node; }

void NBFFileInfoNodeSetVersion(NBFFileInfoNodeRef node, double version) {
    if (node) node->version = version;
}

double NBFFileInfoNodeGetVersion(NBFFileInfoNodeRef node) { return node ? node->version : 0; }

void NBFFileInfoNodeSetIsEvaluationTest(NBFFileInfoNodeRef node, bool flag) {
    if (node) node->isEvaluationTest = flag ? 1 : 0;
}

bool NBFFileInfoNodeIsEvaluationTest(NBFFileInfoNodeRef node) {
    return node && node->isEvaluationTest;
}

NBFFileSettingsNodeRef NBFFileSettingsNodeCreate() { return new NBFFileSettingsNode(); }
void NBFFileSettingsNodeFree(NBFFileSettingsNodeRef node) { delete node; }

void NBFFileSettingsNodeSetTrigonometryMode(NBFFileSettingsNodeRef node, uint32_t mode) {
    if (node) node->trigonometryMode = mode;
}

uint32_t NBFFileSettingsNodeGetTrigonometryMode(NBFFileSettingsNodeRef node) {
    return node ? node->trigonometryMode : 1;
}

void NBFFileSettingsNodeSetDecimalPlaces(NBFFileSettingsNodeRef node, uint32_t places) {
    if (node) node->decimalPlaces = places;
}

uint32_t NBFFileSettingsNodeGetDecimalPlaces(NBFFileSettingsNodeRef node) {
    return node ? node->decimalPlaces : 65535;
}

void NBFFileSettingsNodeSetDecimalPointChar(NBFFileSettingsNodeRef node, NBFChar character) {
    if (node) node->decimalPointChar = character;
}

NBFChar NBFFileSettingsNodeGetDecimalPointChar(NBFFileSettingsNodeRef node) {
    return node ? node->decimalPointChar : 0;
}

void NBFFileSettingsNodeSetThousandsSeparatorChar(NBFFileSettingsNodeRef node, NBFChar character) {
    if (node) node->thousandsSeparatorChar = character;
}

NBFChar NBFFileSettingsNodeGetThousandsSeparatorChar(NBFFileSettingsNodeRef node) {
    return node ? node->thousandsSeparatorChar : 0;
}

void NBFFileSettingsNodeSetMisclaneousDictionary(NBFFileSettingsNodeRef node,
                                                 std::optional<NBFFileDictionary> dictionary) {
    if (node) node->misc = std::move(dictionary);
}

const NBFFileDictionary* NBFFileSettingsNodeGetMisclaneousDictionary(NBFFileSettingsNodeRef node) {
    return node && node->misc ? &*node->misc : nullptr;
}

NBFFileLinesNodeRef NBFFileLinesNodeCreate() { return new NBFFileLinesNode(); }
void NBFFileLinesNodeFree(NBFFileLinesNodeRef node) { delete node; }

uint32_t NBFFileLinesNodeGetCount(NBFFileLinesNodeRef node) {
    return node ? static_cast<uint32_t>(node->lines.size()) : 0;
}

namespace {

LineRecord* recordAt(NBFFileLinesNodeRef node, uint32_t index) {
    if (!node) return nullptr;
    if (index >= node->lines.size()) node->lines.resize(uint64_t{index} + 1);
    return &node->lines[index];
}

const LineRecord* existingRecordAt(NBFFileLinesNodeRef node, uint32_t index) {
    return node && index < node->lines.size() ? &node->lines[index] : nullptr;
}

}  // namespace

void NBFFileLinesNodeSetExpressionUTF8(NBFFileLinesNodeRef node, uint32_t index,
                                       std::optional<std::string> text) {
    if (LineRecord* record = recordAt(node, index)) record->expression = std::move(text);
}

const std::optional<std::string>* NBFFileLinesNodeGetExpression(NBFFileLinesNodeRef node,
                                                                uint32_t index) {
    const LineRecord* record = existingRecordAt(node, index);
    return record ? &record->expression : nullptr;
}

void NBFFileLinesNodeSetAnswerUTF8(NBFFileLinesNodeRef node, uint32_t index,
                                   std::optional<std::string> text) {
    if (LineRecord* record = recordAt(node, index)) record->answer = std::move(text);
}

const std::optional<std::string>* NBFFileLinesNodeGetAnswer(NBFFileLinesNodeRef node,
                                                            uint32_t index) {
    const LineRecord* record = existingRecordAt(node, index);
    return record ? &record->answer : nullptr;
}

void NBFFileLinesNodeSetExpectedAnswerUTF8(NBFFileLinesNodeRef node, uint32_t index,
                                           std::optional<std::string> text) {
    if (LineRecord* record = recordAt(node, index)) record->expectedAnswer = std::move(text);
}

const std::optional<std::string>* NBFFileLinesNodeGetExpectedAnswer(NBFFileLinesNodeRef node,
                                                                    uint32_t index) {
    const LineRecord* record = existingRecordAt(node, index);
    return record ? &record->expectedAnswer : nullptr;
}

void NBFFileLinesNodeSetExpectedUnitUTF8(NBFFileLinesNodeRef node, uint32_t index,
                                         std::optional<std::string> text) {
    if (LineRecord* record = recordAt(node, index)) record->expectedUnit = std::move(text);
}

const std::optional<std::string>* NBFFileLinesNodeGetExpectedUnit(NBFFileLinesNodeRef node,
                                                                  uint32_t index) {
    const LineRecord* record = existingRecordAt(node, index);
    return record ? &record->expectedUnit : nullptr;
}

void NBFFileLinesNodeSetFormattingAttribute(NBFFileLinesNodeRef node, uint32_t index,
                                            const char* value, const char* key) {
    if (!value || !key) return;
    if (LineRecord* record = recordAt(node, index)) record->formattingAttributes[key] = value;
}

const std::string* NBFFileLinesNodeGetFormattingAttribute(NBFFileLinesNodeRef node, uint32_t index,
                                                          const char* key) {
    const LineRecord* record = existingRecordAt(node, index);
    if (!record || !key) return nullptr;
    auto found = record->formattingAttributes.find(key);
    return found == record->formattingAttributes.end() ? nullptr : &found->second;
}

void NBFFileLinesNodeSetFormattingAttributesDictionary(NBFFileLinesNodeRef node, uint32_t index,
                                                       NBFFileDictionary dictionary) {
    if (LineRecord* record = recordAt(node, index))
        record->formattingAttributes = std::move(dictionary);
}

const NBFFileDictionary* NBFFileLinesNodeGetFormattingAttributesDictionary(NBFFileLinesNodeRef node,
                                                                           uint32_t index) {
    const LineRecord* record = existingRecordAt(node, index);
    return record ? &record->formattingAttributes : nullptr;
}

void NBFFileLinesNodeSetFileLineNumber(NBFFileLinesNodeRef node, uint32_t index, uint32_t number) {
    if (LineRecord* record = recordAt(node, index)) record->fileLineNumber = number;
}

uint32_t NBFFileLinesNodeGetFileLineNumber(NBFFileLinesNodeRef node, uint32_t index) {
    if (!node) return UINT32_MAX;
    const LineRecord* record = existingRecordAt(node, index);
    return record ? record->fileLineNumber : 0;
}

void NBFFileLinesNodeReleaseRecord(NBFFileLinesNodeRef node, uint32_t index) {
    if (!node || index >= node->lines.size()) return;
    LineRecord& record = node->lines[index];
    const uint32_t number = record.fileLineNumber;
    record = LineRecord();
    record.fileLineNumber = number;
}

void NBFFileLinesNodeSetDecimalPlaces_0_5(NBFFileLinesNodeRef node, uint32_t index,
                                          uint32_t places) {
    std::string text = std::to_string(places);
    NBFFileLinesNodeSetFormattingAttribute(node, index, text.c_str(),
                                           kFormattingAttributesDecimalPlacesKey.c_str());
}

void NBFFileLinesNodeSetTrigonometryMode_0_5(NBFFileLinesNodeRef node, uint32_t index,
                                             uint32_t mode) {
    std::string text = std::to_string(mode);
    NBFFileLinesNodeSetFormattingAttribute(node, index, text.c_str(),
                                           kFormattingAttributesTrigonometryModeKey.c_str());
}

void NBFFileLinesNodeSetBackwardsCompatibilityFormattingAttributesDecimalPlacesKey(
    const char* key) {
    if (key) kFormattingAttributesDecimalPlacesKey = key;
}

void NBFFileLinesNodeSetBackwardsCompatibilityFormattingAttributesTrigonometryModeKey(
    const char* key) {
    if (key) kFormattingAttributesTrigonometryModeKey = key;
}

double NBFFileWriterGetWriterVersion() { return 0.6; }
double NBFFileReaderGetReaderVersion() { return 0.6; }
