# vorn-sweep as a package: plan, checks against vorn, running, collecting and
# summaries, driven by cli.main.
