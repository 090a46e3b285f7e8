#!/usr/bin/env bash
# Placeholder until the real terminal cases land.
exit 0
