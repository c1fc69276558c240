General
Family
Work calls
