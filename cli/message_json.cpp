#include "cli/message_json.h"

#include "core/link/bin_catalogue.h"
#include "core/link/gps_time.h"
#include "core/link/little_endian.h"

namespace zarnmon::cli {

namespace {

void WriteValue(JsonWriter& out, std::span<const std::uint8_t> data, std::size_t offset, WireType type) {
    switch (type) {
        case WireType::U8:
            out.Integer(ReadLe<std::uint8_t>(data, offset));
            return;
        case WireType::I8:
            out.Integer(ReadLe<std::int8_t>(data, offset));
            return;
        case WireType::U16:
            out.Integer(ReadLe<std::uint16_t>(data, offset));
            return;
        case WireType::I16:
            out.Integer(ReadLe<std::int16_t>(data, offset));
            return;
        case WireType::U32:
            out.Integer(ReadLe<std::uint32_t>(data, offset));
            return;
        case WireType::I32:
            out.Integer(ReadLe<std::int32_t>(data, offset));
            return;
        case WireType::F32:
            out.Number(static_cast<double>(ReadLe<float>(data, offset)));
            return;
        case WireType::F64:
            out.Number(ReadLe<double>(data, offset));
            return;
    }
}

void WriteFields(JsonWriter& out, std::span<const std::uint8_t> data, std::span<const FieldInfo> fields,
                 std::size_t base) {
    for (const FieldInfo& field : fields) {
        const std::size_t offset = base + field.offset;
        out.Key(field.name);
        if (field.count == 1) {
            WriteValue(out, data, offset, field.type);
            continue;
        }
        out.BeginArray();
        for (std::size_t i = 0; i < field.count; ++i) {
            WriteValue(out, data, offset + i * WireSizeOf(field.type), field.type);
        }
        out.EndArray();
    }
}

}  // namespace

void WriteFrameFields(JsonWriter& out, std::span<const std::uint8_t> frame, std::int32_t gpsUtcOffset) {
    out.BeginObject();
    const MessageLayout* layout = FindLayout(ReadLe<std::uint16_t>(frame, 4));
    if (layout != nullptr && frame.size() >= 8) {
        const auto data = frame.subspan(8);
        WriteFields(out, data, layout->fields, 0);
        for (const RecordGroup& group : layout->groups) {
            out.Key(group.name);
            out.BeginArray();
            for (std::size_t k = 0; k < group.count; ++k) {
                out.BeginObject();
                WriteFields(out, data, group.fields, group.offset + k * group.stride);
                out.EndObject();
            }
            out.EndArray();
        }
        if (layout->hasTime) {
            // Messages 1 and 99 both keep week and time of week at the same offsets.
            out.Key("Utc");
            out.String(UtcDateTimeString(Get(data, msg1::GpsWeek), Get(data, msg1::GpsTimeOfWeek), gpsUtcOffset));
        }
    }
    out.EndObject();
}

std::string Latin1ToUtf8(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const std::uint8_t b : bytes) {
        const Utf8OfLatin1 encoded = EncodeLatin1(b);
        text.append(encoded.bytes.data(), encoded.size);
    }
    return text;
}

}  // namespace zarnmon::cli
