#include "core/waas/waas_non_volatile.h"

#include <optional>
#include <string>
#include <string_view>

#include "core/app/settings_keys.h"
#include "core/app/settings_store.h"

namespace zarnmon {

namespace {

// A value nobody writes: its return means the key is missing.
constexpr std::string_view kMissing = "IDontScan";

std::optional<std::uint32_t> ReadWord(const CSettingsStore& store, std::string_view key) {
    const std::string text = store.GetString(kWaasNonVolatile, key, kMissing);
    if (text == kMissing) {
        return std::nullopt;
    }
    return ScanHex(text);
}

}  // namespace

bool CWaasNonVolatile::Load() {
    cache_.fill(std::nullopt);
    block_.fill(0);
    if (store_ == nullptr) {
        return false;
    }
    std::uint32_t sum = 0;
    for (int i = 0; i < kWords; ++i) {
        const auto word = ReadWord(*store_, WaasWordKey(i));
        if (!word) {
            return false;
        }
        cache_[static_cast<std::size_t>(i)] = *word;
        sum += *word;
    }
    const auto checkSum = ReadWord(*store_, kCheckSumKey);
    if (!checkSum) {
        return false;
    }
    if (*checkSum == sum) {
        for (std::size_t i = 0; i < block_.size(); ++i) {
            block_[i] = *cache_[i];
        }
        return true;
    }
    // A tampered section is replaced by the empty state now, not left to
    // fail again on every run.
    block_[0] = PackGeoPrns(kInitialGeoPrns);
    Save();
    return false;
}

void CWaasNonVolatile::Save() {
    bool written = false;
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < block_.size(); ++i) {
        sum += block_[i];
        if (block_[i] == cache_[i]) {
            continue;
        }
        cache_[i] = block_[i];
        if (store_ != nullptr) {
            store_->SetString(kWaasNonVolatile, WaasWordKey(static_cast<int>(i)), FormatHex(block_[i]));
        }
        written = true;
    }
    if (written && store_ != nullptr) {
        store_->SetString(kWaasNonVolatile, kCheckSumKey, FormatHex(sum));
    }
}

}  // namespace zarnmon
