// Reads arbitrary text as a profile, as a hand-edited or truncated file would
// arrive, reads it through every section reader of the program, changes a
// value, and checks that what the store writes reads back to the same text.

#include <cstdint>
#include <cstdlib>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "core/app/settings_keys.h"
#include "core/app/settings_store.h"
#include "core/waas/waas_non_volatile.h"

namespace {

using namespace zarnmon;

void ReadBack(const CSettingsStore& store) {
    CSettingsStore again;
    const std::string text = store.Text();
    again.Parse(text);
    if (again.Text() != text) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(16);
    const std::string key = input.ConsumeRandomLengthString(16);
    const std::string value = input.ConsumeRandomLengthString(32);
    const std::string text = input.ConsumeRemainingBytesAsString();

    CSettingsStore store;
    store.Parse(text);
    ReadBack(store);

    (void)LoadCommSettings(store);
    (void)LoadLogSettings(store);
    (void)LoadDebugLogMask(store);
    (void)store.GetInt(section, key, 0);
    (void)store.GetDouble(section, key, 0.0);
    CWaasNonVolatile waas(&store);
    (void)waas.Load();

    if (store.SetString(section, key, value) && !store.Find(section, key)) {
        std::abort();  // a value the store took must be found again
    }
    ReadBack(store);
    SaveLogSettings(store, LoadLogSettings(store));
    ReadBack(store);
    return 0;
}
