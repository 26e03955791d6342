// vantrose preset: writes the effect's current program as a program file, and shows
// what a program or bank file holds without applying it anywhere.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "EffectSetup.h"
#include "OutputPath.h"
#include "PresetFile.h"

namespace {

struct PresetArgs {
  std::string path, name;
  bool haveName = false;
  std::vector<ParamSetting> settings;
};

CommandApp PresetApp(PresetArgs* a) {
  CommandApp app = NewCommandApp("preset", "write or show program (.fxp) and bank (.fxb) files");
  app->require_subcommand(1);
  CLI::App* save = app->add_subcommand(
      "save", "write the effect's program (defaults, changed by the --sets) as a program file");
  save->add_option("FILE", a->path, "the program file to write")->type_name("FILE.fxp")->required();
  AddSetOption(*save, &a->settings);
  save->add_option("--name", a->name, "the program's name (the file keeps 27 bytes of it)")
      ->type_name("TEXT");
  CLI::App* show = app->add_subcommand(
      "show", "print a program or bank file's header, program names and parameter values");
  show->add_option("FILE", a->path, "the program or bank file to read")
      ->type_name("FILE.fxp|FILE.fxb")
      ->required();
  return app;
}

int Refuse(const std::string& path, const std::string& message) {
  std::fprintf(stderr, "vantrose preset: %s: %s\n", path.c_str(), message.c_str());
  return kExitUsage;
}

std::unique_ptr<Vantrose> MakeEffect() {
  return std::unique_ptr<Vantrose>(static_cast<Vantrose*>(MakePlug(nullptr)));
}

std::string VersionText(int decimal) {
  char text[48];
  std::snprintf(text, sizeof(text), "%d (v%d.%d.%d)", decimal, decimal / 10000, decimal / 100 % 100,
                decimal % 100);
  return text;
}

// ---- save ----

int RunSave(const PresetArgs& args) {
  const std::string& path = args.path;
  const std::string& name = args.name;
  const bool haveName = args.haveName;
  const std::vector<ParamSetting>& settings = args.settings;
  std::string error;
  std::unique_ptr<Vantrose> fx = MakeEffect();
  if (!CheckOutputPath(path, &error)) return Refuse(path, error);

  for (const ParamSetting& s : settings) {
    fx->GetParam(s.idx)->SetValue(s.value);
    fx->OnParamChange(s.idx);
  }
  fx->ModifyCurrentPreset(haveName ? name.c_str() : nullptr);
  ByteChunk file;
  if (!fx->MakeProgramFile(&file)) return Refuse(path, FxErrorStr(kFxNoMemory));
  if (!WriteWholeFile(path, file.GetBytes(), static_cast<size_t>(file.Size()), &error))
    return Refuse(path, error);

  FxProgramInfo written;
  ParseFxProgramHeader(file, 0, &written);
  std::printf("wrote %s: program \"%s\", %d parameters, parameter form, %d bytes\n", path.c_str(),
              PrintableName(written.mName).c_str(), fx->NParams(), file.Size());
  // The file keeps at most 27 bytes of a name, cut between whole UTF-8 characters.
  const size_t kept = std::strlen(written.mName);
  if (haveName && kept < name.size())
    std::printf("  the name was cut from %zu to %zu bytes (a program file keeps %d)\n", name.size(),
                kept, kFxNameLen - 1);
  std::printf("  %s\n", DescribeSettings(*fx, settings).c_str());
  return 0;
}

// ---- show ----

// One line per parameter: the value a load gives from the normalised value n, and
// its display text.  The effect shown is a throwaway instance.
void PrintValues(Vantrose& scratch, const ByteChunk& file, const FxProgramInfo& program) {
  std::printf("  %3s  %-8s %10s  %s\n", "idx", "name", "value", "display");
  for (int i = 0; i < scratch.NParams(); ++i) {
    IParam* p = scratch.GetParam(i);
    p->SetNormalized(FxProgramValue(file, program, i));
    char display[MAX_PARAM_DISPLAY_LEN];
    p->GetDisplayForHost(display);
    std::string name = *p->GetNameForHost() ? p->GetNameForHost() : "(" + std::to_string(i) + ")";
    std::printf("  %3d  %-8s %10.6f  %s %s\n", i, name.c_str(), p->GetValue(), display,
                p->GetLabelForHost());
  }
}

void PrintProgramHeader(const FxProgramInfo& program, bool chunkForm) {
  std::printf("  form: %s (\"CcnK\" / %s), format version %d\n", chunkForm ? "chunk" : "parameter",
              FourCCText(program.mFxMagic).c_str(), program.mFormatVersion);
  std::printf("  plug-in %s, version %s, %d parameters\n", FourCCText(program.mPluginID).c_str(),
              VersionText(program.mPluginVersion).c_str(), program.mNumParams);
  std::printf("  program \"%s\"\n", PrintableName(program.mName).c_str());
}

// The checks are those of the effect's own loader, in its order, so that what show
// accepts is exactly what loading accepts.
int ShowProgram(const std::string& path, ByteChunk& file) {
  std::unique_ptr<Vantrose> fx = MakeEffect();
  FxProgramInfo program;
  EFxError err = ParseFxProgramHeader(file, 0, &program);
  if (err != kFxOK) return Refuse(path, FxErrorStr(err));
  bool chunkForm = program.mFxMagic == kFxProgramChunkMagic;
  std::printf("%s: program file\n", path.c_str());
  PrintProgramHeader(program, chunkForm);
  if (program.mPluginID != fx->GetUniqueID()) {
    return Refuse(path, std::string(FxErrorStr(kFxForeignPlugin)) + " (" +
                            FourCCText(program.mPluginID) + ", not " +
                            FourCCText(fx->GetUniqueID()) + ")");
  }
  if (chunkForm && !fx->DoesStateChunks()) return Refuse(path, FxErrorStr(kFxChunksNotSupported));
  err = ParseFxProgramData(file, fx->NParams(), &program);
  if (err != kFxOK) return Refuse(path, FxErrorStr(err));
  PrintValues(*fx, file, program);
  std::unique_ptr<Vantrose> loader = MakeEffect();
  err = loader->LoadProgramFile(&file);
  return err == kFxOK ? 0 : Refuse(path, FxErrorStr(err));
}

int ShowBank(const std::string& path, ByteChunk& file) {
  std::unique_ptr<Vantrose> fx = MakeEffect();
  FxBankInfo bank;
  EFxError err = ParseFxBankHeader(file, &bank);
  if (err != kFxOK) return Refuse(path, FxErrorStr(err));
  bool chunkForm = bank.mFxMagic == kFxBankChunkMagic;
  std::printf("%s: bank file\n", path.c_str());
  std::printf("  form: %s (\"CcnK\" / %s), format version %d\n", chunkForm ? "chunk" : "parameter",
              FourCCText(bank.mFxMagic).c_str(), bank.mFormatVersion);
  std::printf("  plug-in %s, version %s, %d programs, current program %d\n",
              FourCCText(bank.mPluginID).c_str(), VersionText(bank.mPluginVersion).c_str(),
              bank.mNumPrograms, bank.mCurrentProgram);
  if (bank.mPluginID != fx->GetUniqueID()) {
    return Refuse(path, std::string(FxErrorStr(kFxForeignPlugin)) + " (" +
                            FourCCText(bank.mPluginID) + ", not " + FourCCText(fx->GetUniqueID()) +
                            ")");
  }
  if (chunkForm && !fx->DoesStateChunks()) return Refuse(path, FxErrorStr(kFxChunksNotSupported));
  err = ParseFxBankData(file, fx->NParams(), &bank);
  if (err != kFxOK) return Refuse(path, FxErrorStr(err));
  for (int k = 0; k < bank.mNumPrograms; ++k) {
    FxProgramInfo program;
    ParseFxProgram(file, bank.mDataPos + k * bank.mProgramSize, fx->NParams(), &program);
    std::printf("program %d \"%s\"%s\n", k, PrintableName(program.mName).c_str(),
                k < fx->NPresets() ? "" : " (beyond the effect's presets: not loaded)");
    PrintValues(*fx, file, program);
  }
  std::unique_ptr<Vantrose> loader = MakeEffect();
  err = loader->LoadBankFile(&file);
  return err == kFxOK ? 0 : Refuse(path, FxErrorStr(err));
}

int RunShow(const std::string& path) {
  ByteChunk file;
  EFxError err = ReadFxFile(path.c_str(), &file);
  if (err != kFxOK) return Refuse(path, FxErrorStr(err));
  int magic = 0;
  ReadBE32(file, &magic, 8);
  if (magic == kFxBankMagic || magic == kFxBankChunkMagic) return ShowBank(path, file);
  return ShowProgram(path, file);
}

}  // namespace

CommandApp PresetCommandLine() {
  static PresetArgs unused;
  return PresetApp(&unused);
}

int RunPreset(int argc, char** argv) {
  if (argc > 0 && argv[0][0] != '-' && std::strcmp(argv[0], "save") != 0 &&
      std::strcmp(argv[0], "show") != 0) {
    std::fprintf(stderr, "vantrose preset: unknown preset command '%s' (save or show)\n",
                 PrintableName(argv[0]).c_str());
    return kExitUsage;
  }
  PresetArgs args;
  CommandApp app = PresetApp(&args);
  const int code = ParseCommandLine(*app, argc, argv);
  if (code >= 0) return code;
  if (app->got_subcommand("show")) return RunShow(args.path);
  args.haveName = app->get_subcommand("save")->count("--name") > 0;
  return RunSave(args);
}
