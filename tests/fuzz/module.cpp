// import vorlen, called as a careless or hostile bot might: any function
// or method with any of a pool of values (None, numbers of any size, text,
// boards built and unbuilt, the classes themselves). Only a Python
// exception may come back; a crash, a sanitizer's report or an exception of
// any other kind than a refusal is a finding.
#include "Require.h"
#include "VorlenBindings.h"

#include <pybind11/embed.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace py = pybind11;

PYBIND11_EMBEDDED_MODULE(vorlen, module) { defineVorlen(module); }

namespace {

constexpr std::size_t kMostValues = 32;
constexpr int kMostSteps = 64;

const std::array<const char*, 12> kMethods = {"legal",   "play",     "scores", "flipped", "colour",  "__str__",
                                              "__repr__", "__eq__",  "__hash__", "__init__", "__ne__", "__new__"};

// The input, read a byte at a time; zeros once it is used up.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
    std::int64_t whole()
    {
        std::uint64_t value = 0;
        for (int i = 0; i < 8; ++i)
            value = value << 8 | next();
        return static_cast<std::int64_t>(value);
    }
    std::string text(std::size_t most)
    {
        std::string out;
        for (std::size_t n = next() % (most + 1); n > 0 && !empty(); --n)
            out += static_cast<char>(next());
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

std::string boardText(int seed)
{
    std::string text;
    for (int row = 0; row < 41; ++row) {
        for (int column = 0; column < 45; ++column)
            text += static_cast<char>('1' + (row * 7 + column * 3 + seed) % 6);
        text += '\n';
    }
    return text;
}

// Any bytes as a Python string: what is not UTF-8 becomes lone surrogates,
// which no conversion to UTF-8 takes.
py::object textOf(const std::string& bytes)
{
    return py::reinterpret_steal<py::object>(
        PyUnicode_DecodeUTF8(bytes.data(), static_cast<Py_ssize_t>(bytes.size()), "surrogateescape"));
}

// A refusal: the kinds of exception the module promises for bad calls.
bool refusal(const py::error_already_set& error)
{
    return error.matches(PyExc_TypeError) || error.matches(PyExc_ValueError) || error.matches(PyExc_IndexError)
           || error.matches(PyExc_OverflowError);
}

class Calls {
public:
    Calls() : vorlen_(py::module_::import("vorlen")), board_(vorlen_.attr("Board"))
    {
        const py::int_ huge = py::reinterpret_steal<py::int_>(PyLong_FromString("1180591620717411303424", nullptr, 10));
        values_ = {py::none(),   py::int_(0),   py::int_(1),      py::int_(7),       py::int_(-1), huge,
                   py::float_(2.5), py::str(""), py::bytes("12"), py::list(),        board_,      vorlen_,
                   board_(boardText(0)), board_.attr("__new__")(board_), py::str(boardText(1))};
    }

    void step(Bytes& in)
    {
        switch (in.next() % 10) {
        case 0: keep(py::int_(in.whole())); break;
        case 1: keep(textOf(in.text(16))); break;
        case 2: keep(textOf(mutated(in))); break;
        case 3: keep(board_.attr("__new__")(board_)); break;
        case 4: call(vorlen_.attr("greedy"), in); break;
        case 5: call(board_, in); break;
        case 6: call(method(pick(in), in), in); break;
        case 8: call(vorlen_.attr("search"), in); break;
        case 9: call(vorlen_.attr("evaluate"), in); break;
        default: call(method(board_, in), in); break;
        }
    }

private:
    py::module_ vorlen_;
    py::object board_;
    std::vector<py::object> values_;

    const py::object& pick(Bytes& in) { return values_[in.next() % values_.size()]; }

    // A method by name, or None (calling it is then refused) where there is none.
    static py::object method(const py::object& of, Bytes& in)
    {
        return py::getattr(of, kMethods[in.next() % kMethods.size()], py::none());
    }

    void keep(py::object value)
    {
        if (values_.size() < kMostValues)
            values_.push_back(std::move(value));
        else
            values_[values_.size() - 1] = std::move(value);
    }

    std::string mutated(Bytes& in)
    {
        std::string text = boardText(in.next());
        for (int n = in.next() % 4; n > 0; --n)
            text[static_cast<std::size_t>(in.next() * 256 + in.next()) % text.size()] = static_cast<char>(in.next());
        return text;
    }

    // A callable with up to three values from the pool.
    void call(const py::object& callable, Bytes& in)
    {
        py::tuple arguments(in.next() % 4);
        for (std::size_t i = 0; i < arguments.size(); ++i)
            arguments[i] = pick(in);
        try {
            keep(callable(*arguments));
        } catch (const py::error_already_set& error) {
            require(refusal(error));
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static py::scoped_interpreter python;
    Bytes in(data, size);
    Calls calls;
    for (int steps = 0; steps < kMostSteps && !in.empty(); ++steps)
        calls.step(in);
    return 0;
}
