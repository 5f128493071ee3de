// Name resolution (locals, upvalues through every enclosing function,
// globals as fields of _ENV), scope ends, and function bodies.
#include "parse/parse_proto.h"

namespace vantor {

ExpDesc ParseProto::simple_name(std::string name) {
    auto& levels = ctx.levels;
    size_t cur = levels.size() - 1;
    {
        const auto& locals = levels[cur].locals;
        for (size_t i = locals.size(); i-- > 0;)
            if (locals[i].name == name) return ExpDesc::local(i);
        const auto& ups = levels[cur].upvalues;
        for (size_t j = 0; j < ups.size(); ++j)
            if (ups[j].name == name) return ExpDesc::upvalue(j);
    }
    for (size_t depth = 0; depth < cur; ++depth) {
        Level& lv = levels[cur - 1 - depth];
        for (size_t i = lv.locals.size(); i-- > 0;) {
            if (lv.locals[i].name == name) {
                lv.locals[i].captured = true;
                return create_upvalue(std::move(name), UpvalueSource{true, i}, depth);
            }
        }
        for (size_t j = 0; j < lv.upvalues.size(); ++j)
            if (lv.upvalues[j].name == name)
                return create_upvalue(std::move(name), UpvalueSource{false, j}, depth);
    }
    // A global: a string-keyed field of _ENV; the key constant comes first.
    size_t k = add_const_name(name);
    ExpDesc env = simple_name("_ENV");
    if (env.kind == ExpKind::Local) return ExpDesc::index_field(env.a, k);
    if (env.kind == ExpKind::Upvalue) return ExpDesc::index_up_field(env.a, k);
    stop("no here");
}

ExpDesc ParseProto::create_upvalue(std::string name, UpvalueSource source, size_t depth) {
    auto& levels = ctx.levels;
    size_t cur = levels.size() - 1;
    // The entry goes into the function directly inside the one that owns the
    // name, and an Upvalue link into every function from there inward.
    for (size_t l = cur - depth; l <= cur; ++l) {
        auto& ups = levels[l].upvalues;
        ups.push_back({name, source});
        source = UpvalueSource{false, ups.size() - 1};
    }
    return ExpDesc::upvalue(levels[cur].upvalues.size() - 1);
}

void ParseProto::local_expire(size_t from) {
    auto& locals = level().locals;
    bool captured = false;
    for (size_t i = from; i < locals.size(); ++i) captured = captured || locals[i].captured;
    locals.erase(locals.begin() + ptrdiff_t(from), locals.end());
    if (captured) emit(Instr::Close(reg8(from)));
}

ExpDesc ParseProto::funcbody(bool with_self) {
    check_nesting();
    std::vector<std::string> params;
    if (with_self) params.emplace_back("self");
    lex().expect(Tok::ParL);
    bool is_vararg = false;
    for (;;) {
        Token t = lex().next();
        if (t.kind == Tok::Name) {
            params.push_back(std::move(t.s));
            Token sep = lex().next();
            if (sep.kind == Tok::Comma) continue;
            if (sep.kind == Tok::ParR) break;
            stop("invalid parameter " + sep.debug());
        }
        if (t.kind == Tok::ParR) break;
        if (t.kind == Tok::Dots) {
            lex().expect(Tok::ParR);
            is_vararg = true;
            break;
        }
        stop("invalid parameter " + t.debug());
    }
    Ref<FuncProto> p = chunk(ctx, is_vararg, std::move(params), Tok::End);
    bool has_upvalues = !p->upindexes.empty();
    size_t k = add_const(Value::adopt(Tag::LuaFunction, p.leak()));
    return has_upvalues ? ExpDesc::closure(k) : ExpDesc::function(k);
}

}  // namespace vantor
