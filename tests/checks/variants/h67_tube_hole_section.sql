-- Immersion tubes whose holes have no cross-section.
-- expect: H67
-- level: 2
UPDATE tbl_rvldaten SET HVE_H = 0 WHERE bez = 'T1';
