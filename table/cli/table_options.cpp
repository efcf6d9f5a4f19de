#include "table/cli/table_options.h"

#include <cstring>
#include <optional>

#include "eudc/app_state.h"
#include "eudc/code_entry.h"
#include "table/text/big5_text.h"

namespace kestra {
namespace {

struct PaperName {
    const char* name;
    Paper paper;
};

constexpr PaperName kPaperNames[] = {
    {"a4", Paper::A4},         {"a3", Paper::A3},       {"a5", Paper::A5},
    {"letter", Paper::Letter}, {"legal", Paper::Legal},
};

// Paper sizes and code forms are names, written A4 as often as a4.
std::string lowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// The text made half-width, when it holds full-width forms of ASCII (typed
// with a Chinese input method left in full-width mode).
std::optional<std::string> halfWidthOf(const std::string& text) {
    constexpr char32_t kFirstFullWidthForm = 0xFF01;
    constexpr char32_t kLastFullWidthForm = 0xFF5E;
    constexpr char32_t kFullWidthOffset = 0xFEE0;
    constexpr char32_t kIdeographicSpace = 0x3000;
    bool fullWidth = false;
    std::string halfWidth;
    for (char32_t c : decodeUtf8(text)) {
        if ((c >= kFirstFullWidthForm && c <= kLastFullWidthForm) || c == kIdeographicSpace) {
            fullWidth = true;
            c = c == kIdeographicSpace ? U' ' : c - kFullWidthOffset;
        }
        appendUtf8(halfWidth, c);
    }
    return fullWidth ? std::optional<std::string>(halfWidth) : std::nullopt;
}

bool isAscii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

std::optional<Message> rangeMessage(RangeText check) {
    switch (check) {
    case RangeText::Accepted:
        return std::nullopt;
    case RangeText::StartIncomplete:
        return Message::StartCodeIncomplete;
    case RangeText::EndIncomplete:
        return Message::EndCodeIncomplete;
    case RangeText::StartInvalid:
    case RangeText::EndInvalid:
        return Message::InvalidEudcCode;
    case RangeText::StartAfterEnd:
        return Message::StartAfterEnd;
    }
    return Message::InvalidEudcCode;
}

class Parser {
  public:
    Parser(int argc, const char* const* argv, Language language)
        : argc_(argc), argv_(argv), language_(language) {}

    OptionsResult run() {
        OptionsResult result;
        for (next_ = 1; next_ < argc_ && error_.empty();)
            take(argv_[next_++]);
        if (wants("-h", "--help") || wants("--version", "--version")) {
            result.ok = true;
            result.options.help = wants("-h", "--help");
            result.options.version = !result.options.help;
            return result;
        }
        if (error_.empty() && options_.fontPath.empty())
            fail(Message::NoFontFile);
        if (error_.empty() && options_.outputPath.empty())
            options_.outputPath =
                defaultOutputPath(options_.fontPath, options_.list ? ".tsv" : ".pdf");
        result.ok = error_.empty();
        result.options = options_;
        result.error = error_;
        return result;
    }

  private:
    bool wants(const char* shortName, const char* longName) const {
        for (int i = 1; i < argc_; ++i) {
            if (std::strcmp(argv_[i], "--") == 0)
                return false;
            if (std::strcmp(argv_[i], shortName) == 0 || std::strcmp(argv_[i], longName) == 0)
                return true;
        }
        return false;
    }

    void take(const std::string& argument) {
        if (argument == "--") {
            while (next_ < argc_ && error_.empty())
                takeFontPath(argv_[next_++]);
        } else if (argument.size() > 1 && argument[0] == '-') {
            takeOption(argument);
        } else {
            takeFontPath(argument);
        }
    }

    void takeFontPath(const std::string& path) {
        if (options_.fontPath.empty())
            options_.fontPath = path;
        else
            fail(Message::ExtraArgument, path);
    }

    void takeOption(const std::string& argument) {
        // "--name=value" and "-xvalue" carry their value; "--name value" and
        // "-x value" take the next argument.
        const bool isLong = argument.compare(0, 2, "--") == 0;
        const size_t valueAt = isLong                ? argument.find('=')
                               : argument.size() > 2 ? 2
                                                     : std::string::npos;
        const std::string name = argument.substr(0, valueAt);
        std::optional<std::string> inlineValue;
        if (valueAt != std::string::npos)
            inlineValue = argument.substr(isLong ? valueAt + 1 : valueAt);

        if (bool* flag = flagOption(name)) {
            if (inlineValue)
                return fail(Message::UnknownOption, argument);
            *flag = true;
            return;
        }
        if (!isValueOption(name))
            return fail(Message::UnknownOption, argument);
        if (!inlineValue) {
            if (next_ >= argc_)
                return fail(Message::MissingValue, name);
            inlineValue = argv_[next_++];
        }
        takeValue(name, *inlineValue);
    }

    bool* flagOption(const std::string& name) {
        if (name == "--landscape")
            return &options_.landscape;
        if (name == "--defined-only")
            return &options_.definedOnly;
        if (name == "--list")
            return &options_.list;
        if (name == "--match")
            return &options_.match;
        return nullptr;
    }

    static bool isValueOption(const std::string& name) {
        for (const char* known : {"-o", "--output", "-r", "--range", "--phonetic", "--cangjie",
                                  "--codes", "--paper", "--label-font", "--face", "--match-font"}) {
            if (name == known)
                return true;
        }
        return false;
    }

    void takeValue(const std::string& name, const std::string& value) {
        if (name == "-o" || name == "--output")
            takeOutputPath(value);
        else if (name == "-r" || name == "--range")
            takeRange(value);
        else if (name == "--phonetic")
            takeDictionary(name, kPhoneticLayoutId, value);
        else if (name == "--cangjie")
            takeDictionary(name, kCangjieLayoutId, value);
        else if (name == "--codes")
            takeCodeForm(value);
        else if (name == "--paper")
            takePaper(value);
        else if (name == "--face")
            takeFace(value);
        else if (name == "--match-font")
            takeMatchFont(value);
        else
            options_.labelFamily = value;
    }

    // An empty name is an unset variable more often than a choice: writing
    // the default name instead would surprise.
    void takeOutputPath(const std::string& path) {
        if (path.empty())
            fail(Message::EmptyOutputName);
        else
            options_.outputPath = path;
    }

    // START-END, with spaces allowed around either code and the dash. The
    // range dialog's own messages say what is wrong, with which code where
    // one of them is no EUDC code.
    void takeRange(const std::string& value) {
        if (const auto halfWidth = halfWidthOf(value))
            return rejectRange(value,
                               messageText(Message::RangeFullWidth, language_, {*halfWidth}));
        const size_t dash = value.find('-');
        if (dash == std::string::npos || value.find('-', dash + 1) != std::string::npos)
            return rejectRange(value, messageText(Message::RangeNeedsOneDash, language_));
        const std::string start = withoutSpaces(value.substr(0, dash));
        const std::string end = withoutSpaces(value.substr(dash + 1));
        if (decodeUtf8(start).size() > kCodeTextLength)
            return rejectRange(value, messageText(Message::StartCodeTooLong, language_, {start}));
        if (decodeUtf8(end).size() > kCodeTextLength)
            return rejectRange(value, messageText(Message::EndCodeTooLong, language_, {end}));
        uint16_t first = 0;
        uint16_t last = 0;
        // checkRangeTexts counts bytes, and no character beyond ASCII is a
        // hexadecimal digit: such a code is invalid, whatever its length.
        const RangeText check = !isAscii(start) ? RangeText::StartInvalid
                                : !isAscii(end)
                                    ? RangeText::EndInvalid
                                    : checkRangeTexts(start.c_str(), end.c_str(), first, last);
        if (const auto message = rangeMessage(check)) {
            std::string reason = messageText(*message, language_);
            if (check == RangeText::StartInvalid)
                reason += messageText(Message::WhichStartCode, language_, {start});
            else if (check == RangeText::EndInvalid)
                reason += messageText(Message::WhichEndCode, language_, {end});
            return rejectRange(value, reason);
        }
        options_.printAll = false;
        options_.rangeStart = first;
        options_.rangeEnd = last;
    }

    void rejectRange(const std::string& value, const std::string& reason) {
        error_ = messageText(Message::RangeRejected, language_, {value, reason});
    }

    static std::string withoutSpaces(const std::string& text) {
        const size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos)
            return std::string();
        return text.substr(first, text.find_last_not_of(" \t") - first + 1);
    }

    void takeDictionary(const std::string& name, uint32_t layoutId, const std::string& path) {
        for (const DictionaryFile& given : options_.dictionaries) {
            if (given.layoutId == layoutId)
                return fail(Message::DictionaryTwice, name);
        }
        options_.dictionaries.push_back({layoutId, path});
    }

    void takeCodeForm(const std::string& value) {
        if (lowerCase(value) == "pua")
            options_.codeForm = CodeForm::Pua;
        else if (lowerCase(value) == "big5")
            options_.codeForm = CodeForm::Big5;
        else
            fail(Message::UnknownCodeForm, value);
    }

    void takePaper(const std::string& value) {
        for (const PaperName& known : kPaperNames) {
            if (lowerCase(value) == known.name) {
                options_.paper = known.paper;
                return;
            }
        }
        fail(Message::UnknownPaper, value);
    }

    // A face number of a collection: digits only, and no more than a
    // collection's count (16 bits) can reach.
    void takeFace(const std::string& value) {
        constexpr size_t kMostDigits = 5;
        const bool digits = !value.empty() && value.size() <= kMostDigits &&
                            value.find_first_not_of("0123456789") == std::string::npos;
        if (digits)
            options_.faceIndex = std::stoi(value);
        else
            fail(Message::FaceNumberWanted, value);
    }

    void takeMatchFont(const std::string& path) {
        options_.matchFonts.push_back(path);
        options_.match = true;
    }

    void fail(Message message, const std::string& field = {}) {
        error_ = messageText(message, language_, {field});
    }

    int argc_;
    const char* const* argv_;
    Language language_;
    int next_ = 1;
    TableOptions options_;
    std::string error_;
};

} // namespace

OptionsResult parseTableOptions(int argc, const char* const* argv, Language language) {
    return Parser(argc, argv, language).run();
}

std::string defaultOutputPath(const std::string& fontPath, const char* extension) {
    const size_t slash = fontPath.find_last_of('/');
    std::string name = slash == std::string::npos ? fontPath : fontPath.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name + extension;
}

} // namespace kestra
