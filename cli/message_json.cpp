#include "cli/message_json.h"

#include "core/link/bin_catalogue.h"
#include "core/link/gps_time.h"
#include "core/link/little_endian.h"

namespace zarnmon::cli {

namespace {

using Json = nlohmann::ordered_json;

Json ValueAt(std::span<const std::uint8_t> data, std::size_t offset, WireType type) {
    switch (type) {
        case WireType::U8:
            return ReadLe<std::uint8_t>(data, offset);
        case WireType::I8:
            return ReadLe<std::int8_t>(data, offset);
        case WireType::U16:
            return ReadLe<std::uint16_t>(data, offset);
        case WireType::I16:
            return ReadLe<std::int16_t>(data, offset);
        case WireType::U32:
            return ReadLe<std::uint32_t>(data, offset);
        case WireType::I32:
            return ReadLe<std::int32_t>(data, offset);
        case WireType::F32:
            return static_cast<double>(ReadLe<float>(data, offset));
        case WireType::F64:
            return ReadLe<double>(data, offset);
    }
    return nullptr;
}

void AddFields(Json& out, std::span<const std::uint8_t> data, std::span<const FieldInfo> fields, std::size_t base) {
    for (const FieldInfo& field : fields) {
        const std::size_t offset = base + field.offset;
        if (field.count == 1) {
            out[std::string(field.name)] = ValueAt(data, offset, field.type);
            continue;
        }
        Json values = Json::array();
        for (std::size_t i = 0; i < field.count; ++i) {
            values.push_back(ValueAt(data, offset + i * WireSizeOf(field.type), field.type));
        }
        out[std::string(field.name)] = std::move(values);
    }
}

}  // namespace

Json FrameFields(std::span<const std::uint8_t> frame, std::int32_t gpsUtcOffset) {
    Json out = Json::object();
    const MessageLayout* layout = FindLayout(ReadLe<std::uint16_t>(frame, 4));
    if (layout == nullptr || frame.size() < 8) {
        return out;
    }
    const auto data = frame.subspan(8);
    AddFields(out, data, layout->fields, 0);
    for (const RecordGroup& group : layout->groups) {
        Json records = Json::array();
        for (std::size_t k = 0; k < group.count; ++k) {
            Json record = Json::object();
            AddFields(record, data, group.fields, group.offset + k * group.stride);
            records.push_back(std::move(record));
        }
        out[std::string(group.name)] = std::move(records);
    }
    if (layout->hasTime) {
        // Messages 1 and 99 both keep week and time of week at the same offsets.
        out["Utc"] = UtcDateTimeString(Get(data, msg1::GpsWeek), Get(data, msg1::GpsTimeOfWeek), gpsUtcOffset);
    }
    return out;
}

std::string Latin1ToUtf8(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const std::uint8_t b : bytes) {
        if (b < 0x80) {
            text.push_back(static_cast<char>(b));
        } else {
            text.push_back(static_cast<char>(0xC0 | (b >> 6)));
            text.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return text;
}

}  // namespace zarnmon::cli
