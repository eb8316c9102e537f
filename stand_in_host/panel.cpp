#include "stand_in_host/panel.h"

namespace vantorel::standin {

namespace {

// Arguments that follow a tag, or none for a tag the host does not know.
std::optional<std::size_t> fixedArgumentCount(std::uintptr_t tag) {
    switch (tag) {
    case hint_tag::kNotify:
    case hint_tag::kSingleValue:
        return 1;
    case hint_tag::kControlNotify:
    case hint_tag::kLowerLimit:
    case hint_tag::kUpperLimit:
    case hint_tag::kNumeric:
        return 2;
    default:
        return std::nullopt;
    }
}

// Reads words one at a time, never past kMaxHintWords.
class WordReader {
public:
    explicit WordReader(const std::uintptr_t* words, std::vector<std::uintptr_t>& copy)
        : words_(words), copy_(copy) {}

    std::optional<std::uintptr_t> next() {
        if (copy_.size() >= kMaxHintWords) {
            return std::nullopt;
        }
        copy_.push_back(words_[copy_.size()]);
        return copy_.back();
    }

private:
    const std::uintptr_t* words_;
    std::vector<std::uintptr_t>& copy_;
};

bool readGroup(WordReader& reader, PanelHint& hint) {
    const auto groupId = reader.next();
    if (!groupId) {
        return false;
    }
    hint.arguments.push_back(*groupId);
    while (const auto member = reader.next()) {
        if (*member == 0) {
            return true;
        }
        hint.arguments.push_back(*member);
    }
    return false;
}

bool readFixed(WordReader& reader, PanelHint& hint, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const auto argument = reader.next();
        if (!argument) {
            return false;
        }
        hint.arguments.push_back(*argument);
    }
    return true;
}

} // namespace

HintList readHints(std::uint32_t id, const std::uintptr_t* words) {
    HintList list;
    list.id = id;
    if (!words) {
        return list;
    }
    WordReader reader(words, list.words);
    while (const auto tag = reader.next()) {
        if (*tag == 0) {
            list.complete = true;
            return list;
        }
        PanelHint hint{*tag, {}};
        const auto count = fixedArgumentCount(*tag);
        if (*tag != hint_tag::kGroup && !count) {
            list.unknownTag = *tag;
            return list;
        }
        const bool read =
            *tag == hint_tag::kGroup ? readGroup(reader, hint) : readFixed(reader, hint, *count);
        if (!read) {
            return list;
        }
        list.hints.push_back(std::move(hint));
    }
    return list;
}

namespace {

std::string textOrEmpty(const char* text) {
    return text ? std::string(text) : std::string();
}

// Copies entries up to the all-null one; none when there is no table or no end within reach.
template <typename Copy, typename Entry>
std::optional<std::vector<Copy>> copyTable(const Entry* table, const char* Entry::*first,
                                           const char* Entry::*second) {
    if (!table) {
        return std::nullopt;
    }
    std::vector<Copy> copy;
    for (std::size_t i = 0; i < kMaxTableEntries; ++i) {
        const Entry& entry = table[i];
        if (entry.id == 0 && !(entry.*first) && !(entry.*second)) {
            return copy;
        }
        copy.push_back(Copy{entry.id, textOrEmpty(entry.*first), textOrEmpty(entry.*second)});
    }
    return std::nullopt;
}

} // namespace

std::optional<std::vector<PanelControlEntry>> copyControls(const PanelControl* controls) {
    return copyTable<PanelControlEntry>(controls, &PanelControl::label, &PanelControl::controlType);
}

std::optional<std::vector<PanelDataEntry>> copyData(const PanelData* data) {
    return copyTable<PanelDataEntry>(data, &PanelData::name, &PanelData::dataType);
}

void* Panel::instance() const {
    if (viewedInstance) {
        return viewedInstance;
    }
    const auto found = dataById.find(0);
    return found != dataById.end() ? found->second : nullptr;
}

void* Panel::value(std::uint32_t id) const {
    return get ? get(instance(), id) : nullptr;
}

int Panel::setNumber(std::uint32_t id, double number) const {
    return set ? set(instance(), id, &number) : 0;
}

} // namespace vantorel::standin
