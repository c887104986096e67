// The benchmark corpus: a deterministic Japanese text of a given size in
// Shift_JIS (ASCII and JIS X 0208 only, LF line ends) and its twins in the
// other encodings. Built from real prose when bench/corpus/fetch-prose.sh
// has left one in the corpus folder, else from a synthetic generator that
// needs no download; either way the same inputs give the same bytes.
#pragma once

#include <cstddef>
#include <string>

namespace qxbench {

// Where fetch-prose.sh writes (QX_CORPUS_DIR, default "corpus" beside the
// working folder).
std::string CorpusDir();

// `bytes` bytes of Shift_JIS text (cut at a line end at or below the
// size), from the prose seed repeated, or synthetic when there is none.
std::string ShiftJisCorpus(std::size_t bytes);

// Synthetic text only: hiragana, katakana, level-1 kanji, punctuation and
// ASCII words in sentences and lines, from a fixed-seed generator.
std::string SyntheticShiftJis(std::size_t bytes);

// The same text in another encoding, through glibc iconv ("EUC-JP",
// "ISO-2022-JP", "UTF-16LE", ...). Empty if iconv refuses.
std::string Reencode(const std::string& sjis, const char* toCode);

// UTF-16 twin of a Shift_JIS corpus, as code units.
std::u16string Utf16Corpus(const std::string& sjis);

}  // namespace qxbench
