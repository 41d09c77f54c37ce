-- Immersion tubes without hole size.
-- expect: H62
-- level: 2
UPDATE tbl_rvldaten SET HVE_H = NULL WHERE bez = 'T1';
