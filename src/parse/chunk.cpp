// The compiler entry and the per-function driver: compile a body, check how
// it ended, finish the prototype and print its listing.
#include "parse/parse.h"
#include "parse/parse_proto.h"
#include "utils/writer.h"

namespace vantor {

ParseProto::ParseProto(ParseContext& c, bool is_vararg, size_t param_count)
    : proto(Ref<FuncProto>::adopt(new FuncProto())), ctx(c), sp(0) {
    proto->param_count = param_count;
    proto->is_vararg = is_vararg;
}

void ParseProto::add_local(std::string name) {
    // Local i lives in register i, which must fit an 8-bit operand.
    if (local_count() > 255) stop("too many registers");
    level().locals.push_back({std::move(name), false});
}

Ref<FuncProto> chunk(ParseContext& ctx, bool is_vararg, std::vector<std::string> params, Tok end) {
    if (params.size() > 256) stop("too many registers");
    size_t param_count = params.size();
    Level level;
    level.locals.reserve(params.size());
    for (auto& p : params) level.locals.push_back({std::move(p), false});
    ctx.levels.push_back(std::move(level));

    ParseProto pp(ctx, is_vararg, param_count);
    Token t = pp.block_scope();
    if (t.kind != end) stop(assert_eq_message(t, Token(end)));
    if (!pp.pending_gotos.empty())
        stop("goto " + pp.pending_gotos.front().name + " no destination");

    FuncProto& proto = *pp.proto;
    const auto& ups = ctx.levels.back().upvalues;
    proto.upindexes.reserve(ups.size());
    for (const auto& u : ups) proto.upindexes.push_back(u.source);
    ctx.levels.pop_back();

    proto.byte_codes.push_back(Instr::Return0());
    proto.prepare_trace();
    out().write(proto.listing_text());
    return std::move(pp.proto);
}

Ref<FuncProto> load(Reader& reader) {
    ParseContext ctx(reader);
    return chunk(ctx, false, {"_ENV"}, Tok::Eos);
}

}  // namespace vantor
