// Any bytes as a neuron-model (profile) file: decoded, every kind's keys read as the simulation
// and the model dialog read them, edited and written back to text. Never a crash; a value read
// is always a finite number; an edit is found again by the next lookup.
#include "core/platform/profile_file.h"
#include "core/simulation/neuron_model.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace axolite;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    platform::ProfileFile profile = platform::ProfileFile::decode(bytes);
    for (int kind = 0; kind < simulation::kModelKindCount; ++kind) {
        const char* section =
            simulation::modelSectionName(static_cast<simulation::ModelKind>(kind));
        for (const char* key : simulation::kModelKeys) {
            const auto text = profile.get(section, key);
            if (!text) {
                continue;
            }
            const auto value = simulation::modelValueFromText(*text);
            if (value && !std::isfinite(*value)) {
                __builtin_trap();
            }
            (void)platform::firstCharacters(*text, 13);
        }
    }
    for (const std::string& name : profile.sections()) {
        (void)platform::lowerCase(name);
    }
    profile.set("Гауссова", "Xt", "0.5");
    if (profile.get("гауссова", "XT") != "0.5") {
        __builtin_trap();
    }
    const platform::ProfileFile again = platform::ProfileFile::parse(profile.text());
    if (again.get("Гауссова", "xt") != "0.5") {
        __builtin_trap();
    }
    return 0;
}
