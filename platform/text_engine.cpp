#include "platform/text_engine.h"

#include <fontconfig/fontconfig.h>

#include FT_OUTLINE_H

#include <algorithm>
#include <cstring>
#include <set>

#include "platform/desktop_fonts.h"
#include "platform/idle_faces.h"

namespace platform {
namespace {

// Both libraries live as long as the process: fonts may outlive any owner
// we could give them, and neither library is cheap to start twice.
struct Engine {
  std::mutex mutex;
  FT_Library library = nullptr;
  FcConfig* config = nullptr;
  std::vector<std::string> registered;  // registry files added to `config`
  IdleFaces idle_faces;

  Engine() {
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
    config = FcInitLoadConfigAndFonts();
  }
};

Engine& TheEngine() {
  static Engine* engine = new Engine;  // never destroyed, see Engine
  return *engine;
}

}  // namespace

void StartTextEngine() {
  TheEngine();
}

namespace {

struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;
struct FontSetDeleter {
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
using FontSetPtr = std::unique_ptr<FcFontSet, FontSetDeleter>;
struct ObjectSetDeleter {
  void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};

// Brings the configuration's application fonts in line with the registry,
// which another process may have changed since the last look. Caller holds
// the engine's lock.
void SyncRegisteredFonts(Engine& engine) {
  std::vector<std::string> files = DesktopFontFiles();
  if (files == engine.registered) return;
  FcConfigAppFontClear(engine.config);
  for (const std::string& file : files) {
    FcConfigAppFontAddFile(engine.config, reinterpret_cast<const FcChar8*>(file.c_str()));
  }
  engine.registered = std::move(files);
}

// Registered fonts first: on equal scores fontconfig keeps the earlier font.
int FontSets(FcConfig* config, FcFontSet* sets[2]) {
  int count = 0;
  for (FcSetName name : {FcSetApplication, FcSetSystem}) {
    FcFontSet* set = FcConfigGetFonts(config, name);
    if (set != nullptr) sets[count++] = set;
  }
  return count;
}

PatternPtr RequestPattern(FcConfig* config, const std::string& family, bool bold, bool italic) {
  PatternPtr pattern(FcPatternCreate());
  if (!family.empty()) {
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  }
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  return pattern;
}

// Every font, best first; the caller holds the engine's lock.
FontSetPtr SortedFonts(Engine& engine, FcPattern* request) {
  FcFontSet* sets[2] = {};
  const int set_count = FontSets(engine.config, sets);
  FcResult result = FcResultNoMatch;
  return FontSetPtr(
      FcFontSetSort(engine.config, sets, set_count, request, FcFalse, nullptr, &result));
}

bool ChoiceFrom(FcPattern* font, FontChoice& choice) {
  FcChar8* file = nullptr;
  if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) return false;
  choice.file = reinterpret_cast<const char*>(file);
  choice.index = 0;
  FcPatternGetInteger(font, FC_INDEX, 0, &choice.index);
  return true;
}

// Of the family names a font carries, the English ones (or else the first):
// the others are translations of the same name.
void AddFamilyNames(FcPattern* font, std::vector<std::string>& names) {
  bool added = false;
  FcChar8* family = nullptr;
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
    FcChar8* lang = nullptr;
    const bool english = FcPatternGetString(font, FC_FAMILYLANG, i, &lang) != FcResultMatch ||
                         std::strcmp(reinterpret_cast<const char*>(lang), "en") == 0;
    if (english) {
      names.emplace_back(reinterpret_cast<const char*>(family));
      added = true;
    }
  }
  if (!added && FcPatternGetString(font, FC_FAMILY, 0, &family) == FcResultMatch) {
    names.emplace_back(reinterpret_cast<const char*>(family));
  }
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool LessIgnoringAsciiCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return LowerAscii(x) < LowerAscii(y); });
}

// Case-blind order, ties broken by the exact bytes so the list never depends
// on the order fontconfig happens to report fonts in.
bool FamilyOrder(const std::string& a, const std::string& b) {
  if (LessIgnoringAsciiCase(a, b)) return true;
  if (LessIgnoringAsciiCase(b, a)) return false;
  return a < b;
}

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b) {
  return !LessIgnoringAsciiCase(a, b) && !LessIgnoringAsciiCase(b, a);
}

}  // namespace

void FaceCloser::operator()(FT_Face face) const {
  Engine& engine = TheEngine();
  std::lock_guard lock(engine.mutex);
  engine.idle_faces.Close(face);
}

std::vector<FontChoice> MatchFonts(const std::string& family, bool bold, bool italic, bool all) {
  Engine& engine = TheEngine();
  std::lock_guard lock(engine.mutex);
  std::vector<FontChoice> choices;
  if (engine.config == nullptr) return choices;
  SyncRegisteredFonts(engine);
  const PatternPtr request = RequestPattern(engine.config, family, bold, italic);
  FontChoice choice;
  if (!all) {
    FcFontSet* sets[2] = {};
    const int set_count = FontSets(engine.config, sets);
    FcResult result = FcResultNoMatch;
    const PatternPtr best(FcFontSetMatch(engine.config, sets, set_count, request.get(), &result));
    if (best && ChoiceFrom(best.get(), choice)) choices.push_back(choice);
    return choices;
  }
  const FontSetPtr sorted = SortedFonts(engine, request.get());
  for (int i = 0; sorted && i < sorted->nfont; ++i) {
    if (ChoiceFrom(sorted->fonts[i], choice)) choices.push_back(choice);
  }
  return choices;
}

struct FontRanking::Impl {
  FontSetPtr sorted;  // keeps the charsets below alive
  std::vector<FontChoice> choices;
  std::vector<const FcCharSet*> charsets;
};

FontRanking::FontRanking(const std::string& family, bool bold, bool italic)
    : impl_(std::make_unique<Impl>()) {
  Engine& engine = TheEngine();
  std::lock_guard lock(engine.mutex);
  if (engine.config == nullptr) return;
  SyncRegisteredFonts(engine);
  impl_->sorted = SortedFonts(engine, RequestPattern(engine.config, family, bold, italic).get());
  for (int i = 0; impl_->sorted && i < impl_->sorted->nfont; ++i) {
    FcPattern* font = impl_->sorted->fonts[i];
    FcBool colour = FcFalse;
    FcCharSet* charset = nullptr;
    FontChoice choice;
    if (FcPatternGetBool(font, FC_COLOR, 0, &colour) == FcResultMatch && colour) continue;
    if (FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) != FcResultMatch) continue;
    if (!ChoiceFrom(font, choice)) continue;
    impl_->choices.push_back(std::move(choice));
    impl_->charsets.push_back(charset);
  }
}

FontRanking::~FontRanking() = default;

std::size_t FontRanking::size() const {
  return impl_->choices.size();
}

const FontChoice& FontRanking::choice(std::size_t rank) const {
  return impl_->choices.at(rank);
}

bool FontRanking::Claims(std::size_t rank, char32_t code) const {
  return FcCharSetHasChar(impl_->charsets.at(rank), code) == FcTrue;
}

FacePtr OpenFace(const std::string& file, int index) {
  Engine& engine = TheEngine();
  std::lock_guard lock(engine.mutex);
  if (engine.library == nullptr) return nullptr;
  // A face of every face count (index -1) is only looked at.
  if (index >= 0) {
    if (FT_Face kept = engine.idle_faces.Take(file, index)) return FacePtr(kept);
  }
  FT_Face face = nullptr;
  if (FT_New_Face(engine.library, file.c_str(), index, &face) != 0) return nullptr;
  if (index >= 0) engine.idle_faces.Opened(face, file, index);
  return FacePtr(face);
}

void RenderOutline(FT_Outline& outline, FT_Raster_Params& params) {
  Engine& engine = TheEngine();
  std::lock_guard lock(engine.mutex);
  if (engine.library != nullptr) FT_Outline_Render(engine.library, &outline, &params);
}

int CountFontFaces(const std::string& file) {
  FacePtr face = OpenFace(file, -1);
  if (!face) return 0;
  return static_cast<int>(std::max<FT_Long>(face->num_faces, 0));
}

std::vector<std::string> ListFontFamilies() {
  Engine& engine = TheEngine();
  std::lock_guard lock(engine.mutex);
  std::vector<std::string> names;
  if (engine.config == nullptr) return names;
  SyncRegisteredFonts(engine);
  const PatternPtr all(FcPatternCreate());
  const std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(
      FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, nullptr));
  const FontSetPtr fonts(FcFontList(engine.config, all.get(), objects.get()));
  for (int i = 0; fonts && i < fonts->nfont; ++i) AddFamilyNames(fonts->fonts[i], names);
  std::sort(names.begin(), names.end(), FamilyOrder);
  names.erase(std::unique(names.begin(), names.end(), SameIgnoringAsciiCase), names.end());
  return names;
}

}  // namespace platform

// GCC announces AddressSanitizer with a macro, clang only through __has_feature.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVEL_ADDRESS_SANITIZER
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(QUORVEL_ADDRESS_SANITIZER)
// fontconfig loses a few bytes while it parses the system's configuration
// files, once per process. Without this, the leak checker of a sanitizer build
// would fail every program that draws text. Only leaks whose innermost frames
// lie in fontconfig are ignored, as frame-pointer stacks end there.
// The report of used suppressions would land on standard error, which the
// programs' tests look at.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
extern "C" const char* __lsan_default_options() {
  return "print_suppressions=0";
}
#endif
