-- Immersion tubes without hole spacing.
-- expect: H65
-- level: 2
UPDATE tbl_rvldaten SET HVE_A = NULL WHERE bez = 'T1';
