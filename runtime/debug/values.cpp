#include "debug/values.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/kvstr.h"

namespace kvdebug {

namespace {

std::size_t ElementSize(const ValuePlace& place)
{
    return place.kind == KvDebugKind::Strings ? sizeof(KvStr) : sizeof(double);
}

// What one element of an array is, placed at `address`.
ValuePlace ElementPlace(const ValuePlace& array, void* address)
{
    ValuePlace element;
    element.address = address;
    element.kind = array.kind == KvDebugKind::Numbers   ? KvDebugKind::Number
                   : array.kind == KvDebugKind::Strings ? KvDebugKind::String
                                                        : KvDebugKind::Record;
    element.type = array.type;
    return element;
}

// Element k's stride as KvArray computes it: the product of the sizes
// before it, each at least 1 (a size DIM did not give counts once).
std::int64_t Stride(const KvDebugArray& array, int k)
{
    std::int64_t stride = 1;
    for (int j = 0; j < k; ++j) stride *= array.size[j] < 1 ? 1 : array.size[j];
    return stride;
}

// Appends the whole number in decimal, without the string temporaries of
// which GCC 12 at -O2 wrongly warns (-Wrestrict).
void AppendWhole(std::string& text, std::int64_t number)
{
    char digits[24];
    const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, number);
    text.append(digits, result.ptr);
}

}  // namespace

bool IsArray(const ValuePlace& place)
{
    return place.kind == KvDebugKind::Numbers || place.kind == KvDebugKind::Strings || place.kind == KvDebugKind::Records;
}

KvDebugArray ArrayOf(const ValuePlace& place)
{
    if (place.view != nullptr) return place.view(place.address);
    KvDebugArray array;
    array.data = static_cast<char*>(place.address);
    array.elementSize = ElementSize(place);
    array.dims = place.fixedDims;
    for (int k = 0; k < place.fixedDims && k < 8; ++k) array.size[k] = place.fixedSizes[k];
    return array;
}

std::int64_t ElementCount(const KvDebugArray& array)
{
    if (array.dims < 1 || array.data == nullptr) return 0;
    std::int64_t count = 1;
    for (int k = 0; k < array.dims; ++k) count *= array.size[k] < 1 ? 1 : array.size[k];
    return count;
}

bool ElementAt(const ValuePlace& place, const double* indices, int count, ValuePlace& element, std::string& problem)
{
    const KvDebugArray array = ArrayOf(place);
    if (array.dims < 1 || array.data == nullptr) {
        problem = "the array has no DIM yet";
        return false;
    }
    if (count > array.dims) {
        problem = "the array has " + std::to_string(array.dims) + (array.dims == 1 ? " dimension" : " dimensions");
        return false;
    }
    std::int64_t position = 0;
    for (int k = 0; k < count; ++k) {
        const double limit = array.size[k] < 1 ? 1 : array.size[k];
        if (!(indices[k] >= 0 && indices[k] < limit)) {
            problem = "index " + NumberText(indices[k]) + " is out of bounds (0 to " + NumberText(limit - 1) + ")";
            return false;
        }
        position += static_cast<std::int64_t>(indices[k]) * Stride(array, k);
    }
    element = ElementPlace(place, array.data + position * static_cast<std::int64_t>(array.elementSize));
    return true;
}

ValuePlace ElementAtPosition(const ValuePlace& place, std::int64_t position, std::string& name)
{
    const KvDebugArray array = ArrayOf(place);
    std::string indices(1, '(');
    for (int k = 0; k < array.dims; ++k) {
        const std::int64_t size = array.size[k] < 1 ? 1 : array.size[k];
        if (k > 0) indices.push_back(',');
        AppendWhole(indices, position / Stride(array, k) % size);
    }
    indices.push_back(')');
    name.swap(indices);
    return ElementPlace(place, array.data + position * static_cast<std::int64_t>(array.elementSize));
}

ValuePlace FieldOf(const ValuePlace& record, int k)
{
    const KvDebugField& field = record.type->fields[k];
    ValuePlace place;
    place.kind = field.kind;
    place.address = record.type->field(record.address, k);
    place.fixedDims = field.dims;
    place.fixedSizes = field.sizes;
    return place;
}

std::string NumberText(double number)
{
    if (std::isnan(number)) return "nan";
    if (std::isinf(number)) return number < 0 ? "-inf" : "inf";
    // The fewest digits that read back to the same number (0.1, not
    // 0.10000000000000001); written with snprintf, since not every C++
    // library the runtime is built with has to_chars for doubles.
    char text[64];
    // Whole numbers in full (20, not 2e+01, which also reads back).
    if (number == std::trunc(number) && std::fabs(number) < 1e15) {
        std::snprintf(text, sizeof text, "%.0f", number);
        return text;
    }
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, number);
        if (std::strtod(text, nullptr) == number) break;
    }
    return text;
}

ValueText DescribeValue(const ValuePlace& place)
{
    ValueText value;
    switch (place.kind) {
    case KvDebugKind::Number:
        return {"number", NumberText(*static_cast<const double*>(place.address)), ""};
    case KvDebugKind::String: {
        const KvStr& text = *static_cast<const KvStr*>(place.address);
        return {"string", std::string(text.GetStrData(), static_cast<std::size_t>(text.Length())), ""};
    }
    case KvDebugKind::Record:
        return {"record", "", place.type->name};
    case KvDebugKind::Numbers:
    case KvDebugKind::Strings:
    case KvDebugKind::Records: {
        value.kind = place.kind == KvDebugKind::Records ? "records" : "array";
        value.detail = place.kind == KvDebugKind::Records ? place.type->name : place.kind == KvDebugKind::Numbers ? "n" : "s";
        const KvDebugArray array = ArrayOf(place);
        if (array.data != nullptr)
            for (int k = 0; k < array.dims; ++k) {
                value.detail.push_back(' ');
                AppendWhole(value.detail, array.size[k]);
            }
        return value;
    }
    }
    return value;
}

bool SetValue(const ValuePlace& place, const std::string& text, std::string& problem)
{
    if (place.kind == KvDebugKind::String) {
        static_cast<KvStr*>(place.address)->Assign(text.c_str(), static_cast<int>(text.size()));
        return true;
    }
    if (place.kind != KvDebugKind::Number) {
        problem = "only numbers and strings can be set, not a whole array or record";
        return false;
    }
    const char* start = text.c_str();
    while (*start == ' ') ++start;
    char* end = nullptr;
    const double number = std::strtod(start, &end);
    while (end != nullptr && *end == ' ') ++end;
    if (*start == 0 || end == start || *end != 0) {
        problem = "not a number: " + text;
        return false;
    }
    *static_cast<double*>(place.address) = number;
    return true;
}

}  // namespace kvdebug
