#pragma once

// Where a movie is, in seconds: how far it has played, and how long it is (0: not known).
namespace player {

struct MoviePlace {
    double seconds = 0.0;
    double length = 0.0;
    bool operator==(const MoviePlace&) const = default;
};

}  // namespace player
