#include "MirrorsFlag.h"

#include <map>

void AddMirrorsOption(CLI::App& ioCommand, MirrorPolicy& ioPolicy) {
  const std::map<std::string, MirrorPolicy> names = {{"flag", MirrorPolicy::Flag}, {"exclude", MirrorPolicy::Exclude}};
  ioCommand
      .add_option("--mirrors", ioPolicy,
                  "Parts that match only as a mirror image: flag them as mirrored, or exclude them")
      ->transform(CLI::CheckedTransformer(names))
      ->default_str("flag");
}

std::string MirrorsName(MirrorPolicy iPolicy) { return iPolicy == MirrorPolicy::Exclude ? "exclude" : "flag"; }
