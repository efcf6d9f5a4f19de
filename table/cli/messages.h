// What kestra-table tells its user, in Traditional Chinese or English after
// the user's locale. Texts are UTF-8 (the terminal's encoding, unlike the page
// texts, which are Big5 for the renderer); "%s" marks where a field goes.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

namespace kestra {

enum class Language { English, Chinese };

// The locale of messages as POSIX ranks the variables: the first one set and
// not empty among LC_ALL, LC_MESSAGES and LANG. Any "zh" locale reads Chinese.
Language languageFor(const char* lcAll, const char* lcMessages, const char* lang);
Language languageFromEnvironment();

enum class Message {
    Usage,
    TryHelp,
    UnknownOption,
    MissingValue,
    UnknownPaper,
    UnknownCodeForm,
    DictionaryTwice,
    NoFontFile,
    ExtraArgument,
    // The range dialog's own four messages.
    InvalidEudcCode,
    StartCodeIncomplete,
    EndCodeIncomplete,
    StartAfterEnd,
    RangeRejected,
    RangeNeedsOneDash,
    RangeFullWidth,
    StartCodeTooLong,
    EndCodeTooLong,
    WhichStartCode,
    WhichEndCode,
    FileUnreadable,
    NotAFont,
    NoPuaMapping,
    FontTruncated,
    FontDamaged,
    TextFontWarning,
    DictionaryUnreadable,
    DictionaryTooShort,
    DictionaryIsAFont,
    DictionaryOfOtherLayout,
    DictionaryCutShort,
    PhoneticName,
    CangjieName,
    DictionaryGivesNothing,
    DictionaryOtherForm,
    NoLabelFont,
    NoSuchLabelFamily,
    NoChineseFont,
    LabelFontNotTrueType,
    NoDefinedCode,
    PageTooSmall,
    EmptyOutputName,
    OutputIsInput,
    OutputNotAFile,
    OutputIsTerminal,
    OutputUnwritable,
    OutputNotWritable,
    OutputFailed,
    ListFailed,
    // The font's faces, outlines and characters.
    NoSuchFace,
    FaceNumberWanted,
    FaceOfCollection,
    GlyphsPastLastCode,
    FontNotEmbeddable,
    FontNotSubset,
    // The reference fonts of --match and their index.
    MatchFontNoHan,
    ReferenceFontMissing,
    ReferenceFontNotAFont,
    NoReferenceFont,
    IndexNotKept,
    IndexNoCacheFolder,
    IndexProgress,
};

// The text with its "%s" replaced by the fields in order.
std::string messageText(Message message, Language language,
                        std::initializer_list<std::string> fields = {});

// What a message counts, with its number: "1 entry", "19 entries", "19 筆資料".
enum class Counted { Glyphs, Characters, Entries, Bytes };
std::string countedText(size_t count, Counted what, Language language);

} // namespace kestra
