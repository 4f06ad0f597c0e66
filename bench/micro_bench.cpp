// Micro-benchmarks of the engine's hot parts: the model lexer and parser,
// template loading, the evaluation of one text line and the pattern matcher.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "bench/synthetic_model.h"
#include "foundation/pattern.h"
#include "model/elements.h"
#include "model/lexer.h"
#include "model/parser.h"
#include "template/builder.h"
#include "template/generation_run.h"
#include "template/text_line.h"

namespace {

// The .dsm text of a synthetic model, in the form gen_model writes it.
std::string model_text(int objects) {
  const auto model = bench::make_model(objects, 1);
  std::ostringstream out;
  out << "text = \"std::string\"\n";
  for (const auto& o : model.objects) {
    out << "object " << o.name << (o.parent.empty() ? "" : " parent " + o.parent) << "\n";
    for (const auto& a : o.attributes) {
      out << "  " << a.name << " : " << (a.target.empty() ? a.type : "ref_to " + a.target) << " ;\n";
    }
    for (const auto& f : o.functions) {
      out << "  " << f.name << "(x : int, y : " << f.params[1].type << ") : " << f.rtype
          << " [ uid = \"" << f.uid << "\" ] {{" << f.body << "}} ;\n";
    }
    out << "end [ table = \"" << o.table << "\" ] ;\n";
  }
  return out.str();
}

std::string temp_file(const std::string& name, const std::string& text) {
  const std::string path = "/tmp/quill_micro_bench_" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

void BM_ModelLexer(benchmark::State& state) {
  const std::string text = model_text(static_cast<int>(state.range(0)));
  quill::ModelLexer lexer;
  long tokens = 0;
  for (auto _ : state) {
    lexer.reset(text);
    while (lexer.next() != quill::TokenKind::eof) ++tokens;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  benchmark::DoNotOptimize(tokens);
}
BENCHMARK(BM_ModelLexer)->Arg(200);

void BM_ModelParser(benchmark::State& state) {
  const std::string text = model_text(static_cast<int>(state.range(0)));
  const std::string path = temp_file("model.dsm", text);
  for (auto _ : state) {
    quill::ModelParser parser;
    auto result = parser.parse(path);
    benchmark::DoNotOptimize(result.model.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  std::remove(path.c_str());
}
BENCHMARK(BM_ModelParser)->Arg(200);

void BM_TemplateLoad(benchmark::State& state) {
  const std::string path = QUILL_BENCH_DIR "/classes.tem";
  for (auto _ : state) {
    quill::Template loaded = quill::load_template(path);
    benchmark::DoNotOptimize(loaded.root.get());
  }
}
BENCHMARK(BM_TemplateLoad);

// One accessor line of the benchmark template, against an element scope of
// 30 variables, as an iterator over attributes would see it.
void BM_TextLineEvaluate(benchmark::State& state) {
  quill::GenerationRun run;
  quill::ItemList model_scope, element;
  for (int i = 0; i < 40; ++i) {
    model_scope.append(std::make_unique<quill::Variable>("dsm.v" + std::to_string(i), "false"));
  }
  for (int i = 0; i < 26; ++i) {
    element.append(std::make_unique<quill::Variable>("attr.c" + std::to_string(i), "true"));
  }
  element.append(std::make_unique<quill::Variable>("attr.name", "a07"));
  element.append(std::make_unique<quill::Variable>("attr.kind", "double"));
  element.append(std::make_unique<quill::Variable>("attr.is_local", "false"));
  element.append(std::make_unique<quill::Variable>("attr.simple", "true"));
  run.symbols.push(model_scope);
  run.symbols.push(element);
  const quill::TextLine line("    <attr.kind> get_<attr.name>() const { return <attr.name>_; }", false);
  const quill::TextLine condition("<attr.simple><!attr.is_local>", true);
  std::string out;
  for (auto _ : state) {
    quill::evaluate(line, out, run, false);
    benchmark::DoNotOptimize(out.data());
    benchmark::DoNotOptimize(quill::is_true(condition, run));
  }
  run.symbols.pop();
  run.symbols.pop();
}
BENCHMARK(BM_TextLineEvaluate);

void BM_PatternSearch(benchmark::State& state) {
  const quill::Pattern pattern("[a-z_]+[0-9]*");
  std::string subject;
  for (int i = 0; i < 200; ++i) subject += "Alpha beta_" + std::to_string(i) + " GAMMA delta, ";
  for (auto _ : state) {
    benchmark::DoNotOptimize(pattern.all_matches(subject));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * subject.size()));
}
BENCHMARK(BM_PatternSearch);

}  // namespace

BENCHMARK_MAIN();
