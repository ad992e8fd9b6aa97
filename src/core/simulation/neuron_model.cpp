// Neuron models: transfer functions by kind, the code ranges, and the model files.
#include "core/simulation/neuron_model.h"

#include "core/platform/folder_settings.h"
#include "core/platform/profile_file.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>
#include <system_error>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace axolite::simulation {

namespace {

// How many characters of a parameter value the simulation reads.
constexpr std::size_t kValueCharacters = 6;

} // namespace

void linearTransferAll(const ModelParameters* p, const double* x, double* out, std::size_t count) {
    std::size_t j = 0;
#ifdef __SSE2__
    // Two neurons at a time without branches: every outcome is computed and the first test that
    // holds in the scalar order (x < X1, x >= Y1, x <= -Y1) chooses, so a NaN input falls through
    // to x + Xt as there. -Y1 is Y1 with its sign flipped, as the negation there.
    const __m128d sign = _mm_set1_pd(-0.0);
    for (; j + 2 <= count; j += 2) {
        const __m128d first = _mm_loadu_pd(&p[j].y1);      // Y1, X1 of neuron j
        const __m128d second = _mm_loadu_pd(&p[j + 1].y1); // Y1, X1 of neuron j + 1
        const __m128d y1 = _mm_unpacklo_pd(first, second);
        const __m128d x1 = _mm_unpackhi_pd(first, second);
        const __m128d xt = _mm_loadh_pd(_mm_load_sd(&p[j].xt), &p[j + 1].xt);
        const __m128d minusY1 = _mm_xor_pd(y1, sign);
        const __m128d v = _mm_loadu_pd(x + j);
        const auto choose = [](__m128d mask, __m128d taken, __m128d other) {
            return _mm_or_pd(_mm_and_pd(mask, taken), _mm_andnot_pd(mask, other));
        };
        __m128d r = _mm_add_pd(v, xt);
        r = choose(_mm_cmple_pd(v, minusY1), minusY1, r);
        r = choose(_mm_cmpge_pd(v, y1), y1, r);
        r = _mm_andnot_pd(_mm_cmplt_pd(v, x1), r);
        _mm_storeu_pd(out + j, r);
    }
#endif
    for (; j < count; ++j) {
        out[j] = linearTransfer(p[j], x[j]);
    }
}

std::filesystem::path modelFilePath(const std::filesystem::path& folder, std::int64_t code) {
    return folder / (std::to_string(code) + ".neu");
}

std::optional<double> modelValueFromText(std::string_view text) {
    const std::string cut = platform::firstCharacters(text, kValueCharacters);
    std::string_view number = cut;
    // The number the text begins with: an optional sign, then digits or a decimal point. Words
    // such as inf or nan are no numbers here.
    std::size_t start = 0;
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) {
        start = 1;
    }
    if (start >= number.size()) {
        return std::nullopt;
    }
    const char first = number[start];
    const bool digitFollows =
        start + 1 < number.size() && number[start + 1] >= '0' && number[start + 1] <= '9';
    if (!(first >= '0' && first <= '9') && !(first == '.' && digitFollows)) {
        return std::nullopt;
    }
    double value = 0.0;
    const char* begin = number.data() + start;
    const char* end = number.data() + number.size();
    const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Beyond the range of a double: a tiny magnitude reads as zero, a huge one as nothing.
        const std::string_view rest(begin, static_cast<std::size_t>(end - begin));
        if (rest.find("e-") == std::string_view::npos &&
            rest.find("E-") == std::string_view::npos) {
            return std::nullopt;
        }
        value = 0.0;
    } else if (ec != std::errc{} || ptr == begin || !std::isfinite(value)) {
        return std::nullopt;
    }
    return number[0] == '-' ? -value : value;
}

std::optional<ModelParameters> loadModel(const std::filesystem::path& path, std::int64_t code) {
    const std::optional<ModelKind> kind = modelKindOfCode(code);
    if (!kind) {
        return std::nullopt;
    }
    const std::optional<platform::ProfileFile> profile = platform::ProfileFile::load(path);
    if (!profile) {
        return std::nullopt;
    }
    return modelFromProfile(*profile, code);
}

std::optional<ModelParameters> modelFromProfile(const platform::ProfileFile& profile,
                                                std::int64_t code) {
    const std::optional<ModelKind> kind = modelKindOfCode(code);
    if (!kind) {
        return std::nullopt;
    }
    const char* section = modelSectionName(*kind);
    ModelParameters parameters;
    double* fields[4] = {&parameters.id, &parameters.y1, &parameters.x1, &parameters.xt};
    const int keyCount = kindHasShift(*kind) ? 4 : 3;
    for (int key = 0; key < keyCount; ++key) {
        const std::optional<std::string> text = profile.get(section, kModelKeys[key]);
        if (!text || text->empty()) {
            return std::nullopt;
        }
        const std::optional<double> value = modelValueFromText(*text);
        if (!value) {
            return std::nullopt;
        }
        *fields[key] = *value;
    }
    return parameters;
}

const std::optional<ModelParameters>& ModelFiles::model(std::int64_t code) {
    auto found = loaded_.find(code);
    if (found == loaded_.end()) {
        std::filesystem::path path = lookUp(code);
        std::optional<ModelParameters> model = load_(path, code);
        found = loaded_.emplace(code, Loaded{std::move(path), std::move(model)}).first;
    }
    return found->second.model;
}

std::filesystem::path ModelFiles::file(std::int64_t code) const {
    const auto found = loaded_.find(code);
    return found != loaded_.end() ? found->second.file : lookUp(code);
}

std::filesystem::path ModelFiles::lookUp(std::int64_t code) const {
    for (const std::filesystem::path& folder : folders_) {
        std::filesystem::path path = modelFilePath(folder, code);
        std::error_code ec;
        if (std::filesystem::exists(path, ec)) {
            return path;
        }
    }
    return modelFilePath(folders_.empty() ? std::filesystem::path{} : folders_.front(), code);
}

Message modelFileFailure(const std::filesystem::path& path) {
    return {MessageKind::Error, "Файл " + platform::lowerCase(platform::utf8FromPath(path)) +
                                    " не существует или поврежден."};
}

std::string& ModelTexts::field(int key) {
    switch (key) {
    case 0:
        return id;
    case 1:
        return y1;
    case 2:
        return x1;
    default:
        return xt;
    }
}

const std::string& ModelTexts::field(int key) const {
    return const_cast<ModelTexts*>(this)->field(key);
}

std::optional<std::array<std::optional<std::string>, 4>>
readModelTexts(const std::filesystem::path& path, ModelKind kind, std::size_t maxCharacters) {
    const std::optional<platform::ProfileFile> profile = platform::ProfileFile::load(path);
    if (!profile) {
        return std::nullopt;
    }
    std::array<std::optional<std::string>, 4> texts;
    const int keyCount = kindHasShift(kind) ? 4 : 3;
    for (int key = 0; key < keyCount; ++key) {
        const std::optional<std::string> text =
            profile->get(modelSectionName(kind), kModelKeys[key]);
        if (text && !text->empty()) {
            texts[key] = platform::firstCharacters(*text, maxCharacters);
        }
    }
    return texts;
}

bool writeModel(const std::filesystem::path& path, ModelKind kind, const ModelTexts& texts) {
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    std::optional<platform::ProfileFile> profile = platform::ProfileFile::load(path);
    if (!profile) {
        if (exists) {
            return false; // there but unreadable: never overwrite it
        }
        profile.emplace();
    }
    const int keyCount = kindHasShift(kind) ? 4 : 3;
    for (int key = 0; key < keyCount; ++key) {
        profile->set(modelSectionName(kind), kModelKeys[key], texts.field(key));
    }
    return profile->save(path);
}

Message modelWriteFailure(const std::filesystem::path& path) {
    return {MessageKind::Error, "Ошибка при записи файла " + platform::utf8FromPath(path)};
}

} // namespace axolite::simulation
