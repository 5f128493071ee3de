#include "parse/proto.h"

#include <charconv>

namespace vantor {

void append_upvalue_source(const UpvalueSource& u, std::string& out) {
    out += u.is_local ? "Local(" : "Upvalue(";
    out += std::to_string(u.index);
    out += ')';
}

void FuncProto::prepare_trace() {
    trace_text.clear();
    trace_offsets.clear();
    trace_offsets.reserve(byte_codes.size() + 1);
    for (size_t pc = 0; pc < byte_codes.size(); ++pc) {
        trace_offsets.push_back(uint32_t(trace_text.size()));
        trace_text += "  [";
        char num[24];
        trace_text.append(num, std::to_chars(num, num + sizeof num, pc).ptr);
        trace_text += "]\t";
        append_listing(byte_codes[pc], trace_text);
        trace_text += '\n';
    }
    trace_offsets.push_back(uint32_t(trace_text.size()));
}

std::string FuncProto::listing_text() const {
    std::string s = "constants: [";
    for (size_t i = 0; i < constants.size(); ++i) {
        if (i) s += ", ";
        debug(constants[i], s);
    }
    s += "]\nupindexes: [";
    for (size_t i = 0; i < upindexes.size(); ++i) {
        if (i) s += ", ";
        append_upvalue_source(upindexes[i], s);
    }
    s += "]\nbyte_codes:\n";
    const bool traced = trace_offsets.size() == byte_codes.size() + 1;
    char num[24];
    for (size_t pc = 0; pc < byte_codes.size(); ++pc) {
        s += "  ";
        s.append(num, std::to_chars(num, num + sizeof num, pc).ptr);
        s += '\t';
        if (traced) {
            // The instruction's text is already in its trace line "  [pc]\tForm\n".
            size_t from = trace_text.find('\t', trace_offsets[pc]) + 1;
            s.append(trace_text, from, trace_offsets[pc + 1] - from);
        } else {
            append_listing(byte_codes[pc], s);
            s += '\n';
        }
    }
    return s;
}

}  // namespace vantor
