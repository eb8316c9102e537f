// The host's record of a panel the module built: its controls, data, callbacks and hints.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/host_interface.h"

namespace vantorel::standin {

struct PanelControlEntry {
    std::uint32_t id;
    std::string label;
    std::string controlType;
    bool operator==(const PanelControlEntry&) const = default;
};

struct PanelDataEntry {
    std::uint32_t id;
    std::string name;
    std::string dataType;
    bool operator==(const PanelDataEntry&) const = default;
};

// Hint tags the host understands, each with a fixed number of arguments, except the group,
// which takes a group id and then a member list ended by 0.
namespace hint_tag {
inline constexpr std::uintptr_t kGroup = 0x3D01FE81;
inline constexpr std::uintptr_t kNotify = 0x3D000F01;        // callback
inline constexpr std::uintptr_t kControlNotify = 0x3D001302; // callback, value
inline constexpr std::uintptr_t kLowerLimit = 0x3D014002;    // control id, limit
inline constexpr std::uintptr_t kUpperLimit = 0x3D014102;    // control id, limit
inline constexpr std::uintptr_t kNumeric = 0x3D014202;       // control id, value
inline constexpr std::uintptr_t kSingleValue = 0x3D001201;   // value
} // namespace hint_tag

struct PanelHint {
    std::uintptr_t tag;
    std::vector<std::uintptr_t> arguments; // a group's: its id, then its members without the 0
    bool operator==(const PanelHint&) const = default;
};

// One hint call. Reading stops at the list's closing 0, at a tag the host does not know, or
// after kMaxHintWords words, whichever comes first.
struct HintList {
    std::uint32_t id = 0;
    std::vector<std::uintptr_t> words; // as read, the closing 0 included when it was reached
    std::vector<PanelHint> hints;
    std::optional<std::uintptr_t> unknownTag;
    bool complete = false; // the closing 0 was reached
};

inline constexpr std::size_t kMaxHintWords = 4096;
inline constexpr std::size_t kMaxTableEntries = 1024;

HintList readHints(std::uint32_t id, const std::uintptr_t* words);

// Copies a table up to its all-null entry; none when no such entry comes within
// kMaxTableEntries.
std::optional<std::vector<PanelControlEntry>> copyControls(const PanelControl* controls);
std::optional<std::vector<PanelDataEntry>> copyData(const PanelData* data);

struct Panel {
    int type = 0;
    std::vector<PanelControlEntry> controls;
    std::vector<PanelDataEntry> data;
    PanelGetFunc get = nullptr;
    PanelSetFunc set = nullptr;
    std::vector<HintList> hintLists;
    void* viewedInstance = nullptr;
    std::map<std::uint32_t, void*> dataById;

    // The instance the callbacks work on: the viewed one, else the data set under id 0.
    void* instance() const;
    // What the module's get callback returns for a control; none without a callback.
    void* value(std::uint32_t id) const;
    // Sets a numeric control as the user would; the set callback's result, 0 without one.
    int setNumber(std::uint32_t id, double number) const;
};

} // namespace vantorel::standin
