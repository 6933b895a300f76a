// The request a later copy of the program sends over the local socket: any
// bytes must decode or be refused, and what decodes must encode back to the
// same bytes.
//
// The reader lives with the desktop program, which fuzz builds do not make,
// so its one plain C++ source is compiled in here.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/platform/activation_request.cpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    (void)trawler::ui::ActivationSize(input);
    const auto args = trawler::ui::DecodeActivation(input);
    if (args && trawler::ui::EncodeActivation(*args) != input) std::abort();
    return 0;
}
