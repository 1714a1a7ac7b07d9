#pragma once
// Where the numbered server logs of a generated game go: files in a game
// directory, or strings in memory for tests and benchmarks.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vorskal::gen {

class PieceSink {
  public:
    virtual ~PieceSink() = default;
    virtual void beginPiece(int number) = 0;  // numbers 0, 1, 2, ... in order
    virtual void write(std::string_view bytes) = 0;
    virtual void endPiece() = 0;
};

// Writes ux7server<number>.log into a directory. Throws std::runtime_error
// when a file cannot be written.
class DirectorySink : public PieceSink {
  public:
    explicit DirectorySink(std::filesystem::path directory);
    ~DirectorySink() override;
    DirectorySink(const DirectorySink&) = delete;
    DirectorySink& operator=(const DirectorySink&) = delete;

    void beginPiece(int number) override;
    void write(std::string_view bytes) override;
    void endPiece() override;

  private:
    std::filesystem::path directory_;
    std::filesystem::path current_;
    std::FILE* file_ = nullptr;
};

class MemorySink : public PieceSink {
  public:
    void beginPiece(int number) override;
    void write(std::string_view bytes) override;
    void endPiece() override {}

    const std::vector<std::string>& pieces() const { return pieces_; }
    std::string joined() const;

  private:
    std::vector<std::string> pieces_;
};

// The numbered log's file name: "ux7server" and the number without leading zeros, ".log".
std::string pieceName(int number);

}  // namespace vorskal::gen
