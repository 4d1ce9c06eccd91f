#pragma once

// Which ends of a bar are bent, each adding the bend allowance to its cut
// length: the bar-quantity tab's option group, and what a hand-over may select.
enum class BendEnds {
    Both, // Option1 "两头弯起"
    One,  // Option2 "一侧弯起"
    None, // Option3 "无弯起"
};
